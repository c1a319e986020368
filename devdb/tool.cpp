// devdb-tool: sets up data folders for the stand-in driver and runs statements through it.
#include "devdb_admin.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::cerr << "usage:\n"
                 "  devdb-tool init DIR [DRIVER_LIBRARY] [--oracle-driver-name NAME]...\n"
                 "                                           make DIR a data folder (prints the ODBCSYSINI line);\n"
                 "                                           with NAME, the driver answers to NAME alone, as\n"
                 "                                           Oracle's own driver (the database in DBQ=)\n"
                 "  devdb-tool user DIR SID USER PASSWORD    create SID if new and set USER's password\n"
                 "  devdb-tool fault DIR RULE                add a fault rule COUNT|PATTERN|SQLSTATE|MESSAGE\n"
                 "  devdb-tool clear-faults DIR              remove all fault rules\n"
                 "  devdb-tool alias DIR NEWSID SID          make NEWSID a second name for the database of SID\n"
                 "  devdb-tool container DIR SID CDB         make SID's database a pluggable database of CDB\n"
                 "  devdb-tool unordered DIR | clear-unordered DIR\n"
                 "                                           scramble dictionary rows without ORDER BY, or not\n"
                 "  devdb-tool narrow DIR | clear-narrow DIR describe every result column as 1 wide, or not\n"
                 "  devdb-tool no-arrays DIR | clear-no-arrays DIR\n"
                 "                                           take one row of parameters per execute, or arrays\n"
                 "  devdb-tool latency DIR MS                wait MS milliseconds a round trip (0: no wait)\n"
                 "  devdb-tool sql DIR SID USER PASSWORD     run statements from stdin, one per line\n"
                 "  devdb-tool copy DIR NEWSID SID           copy SID's database to a file of its own under NEWSID\n"
                 "  devdb-tool dbid DIR SID N                set the database's id (CON_DBID)\n"
                 "  devdb-tool unique-name DIR SID NAME      set what DB_UNIQUE_NAME answers ('' for the own name)\n"
                 "  devdb-tool user-created DIR SID USER 'YYYY-MM-DD HH:MM:SS'\n"
                 "                                           set USER's creation time\n"
                 "  devdb-tool extended DIR SID              MAX_STRING_SIZE=EXTENDED for SID's database\n";
    return 2;
}

std::string diagnostics(SQLSMALLINT type, SQLHANDLE h)
{
    std::string out;
    SQLCHAR state[6], text[2048];
    SQLINTEGER native;
    SQLSMALLINT len;
    for (SQLSMALLINT i = 1; SQLGetDiagRec(type, h, i, state, &native, text, sizeof text, &len) != SQL_NO_DATA; ++i) {
        if (i > 20) break;
        out += std::string(reinterpret_cast<char*>(state)) + " " + reinterpret_cast<char*>(text) + "\n";
    }
    return out.empty() ? "unknown ODBC error\n" : out;
}

int runSql(const std::string& dir, const std::string& sid, const std::string& user, const std::string& password)
{
    const std::string abs = std::filesystem::absolute(dir).lexically_normal().string();
    setenv("ODBCSYSINI", abs.c_str(), 1);
    SQLHENV env = nullptr;
    SQLHDBC dbc = nullptr;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::string cs = devdb::connectionStringFor(abs, sid, user, password);
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()), SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        std::cerr << diagnostics(SQL_HANDLE_DBC, dbc);
        return 1;
    }
    int status = 0;
    std::string line;
    int lineNo = 0;
    while (std::getline(std::cin, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line.rfind("--", 0) == 0) continue;
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
        rc = SQLExecDirect(st, reinterpret_cast<SQLCHAR*>(line.data()), SQLINTEGER(line.size()));
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            std::cerr << "line " << lineNo << ": " << diagnostics(SQL_HANDLE_STMT, st);
            SQLFreeHandle(SQL_HANDLE_STMT, st);
            status = 1;
            break;
        }
        SQLSMALLINT columns = 0;
        SQLNumResultCols(st, &columns);
        while (columns > 0 && SQL_SUCCEEDED(SQLFetch(st))) {
            for (SQLSMALLINT c = 1; c <= columns; ++c) {
                std::string value;
                char buf[4096];
                SQLLEN ind = 0;
                while (SQL_SUCCEEDED(rc = SQLGetData(st, SQLUSMALLINT(c), SQL_C_CHAR, buf, sizeof buf, &ind))) {
                    if (ind == SQL_NULL_DATA) break;
                    value += buf;
                    if (rc == SQL_SUCCESS) break;
                }
                std::cout << (c > 1 ? "|" : "") << value;
            }
            std::cout << "\n";
        }
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.empty()) return usage();
    try {
        const std::string& cmd = a[0];
        if (cmd == "init" && a.size() >= 2) {
            std::string library = DEVDB_DEFAULT_DRIVER;
            std::vector<std::string> names;
            for (size_t i = 2; i < a.size(); ++i) {
                if (a[i] == "--oracle-driver-name" && i + 1 < a.size())
                    names.push_back(a[++i]);
                else if (i == 2 && a[i].rfind("--", 0) != 0)
                    library = a[i];
                else
                    return usage();
            }
            devdb::initDataDir(a[1], library, names.empty() ? std::vector<std::string>{devdb::kMicrosoftDriverName} : names);
            std::cout << "export ODBCSYSINI=" << std::filesystem::absolute(a[1]).lexically_normal().string() << "\n";
            return 0;
        }
        if (cmd == "user" && a.size() == 5) { devdb::addUser(a[1], a[2], a[3], a[4]); return 0; }
        if (cmd == "fault" && a.size() == 3) { devdb::addFault(a[1], a[2]); return 0; }
        if (cmd == "clear-faults" && a.size() == 2) { devdb::clearFaults(a[1]); return 0; }
        if (cmd == "alias" && a.size() == 4) { devdb::addAlias(a[1], a[2], a[3]); return 0; }
        if (cmd == "container" && a.size() == 4) { devdb::setContainer(a[1], a[2], a[3]); return 0; }
        if (cmd == "unordered" && a.size() == 2) { devdb::setUnordered(a[1], true); return 0; }
        if (cmd == "clear-unordered" && a.size() == 2) { devdb::setUnordered(a[1], false); return 0; }
        if (cmd == "narrow" && a.size() == 2) { devdb::setNarrow(a[1], true); return 0; }
        if (cmd == "clear-narrow" && a.size() == 2) { devdb::setNarrow(a[1], false); return 0; }
        if (cmd == "no-arrays" && a.size() == 2) { devdb::setNoArrays(a[1], true); return 0; }
        if (cmd == "clear-no-arrays" && a.size() == 2) { devdb::setNoArrays(a[1], false); return 0; }
        if (cmd == "latency" && a.size() == 3 && !a[2].empty() && a[2].size() < 9
            && a[2].find_first_not_of("0123456789") == std::string::npos) {
            devdb::setLatency(a[1], std::stoi(a[2]));
            return 0;
        }
        if (cmd == "sql" && a.size() == 5) return runSql(a[1], a[2], a[3], a[4]);
        // who a database is, and what it takes
        if (cmd == "copy" && a.size() == 4) { devdb::copyDatabase(a[1], a[2], a[3]); return 0; }
        if (cmd == "dbid" && a.size() == 4) { devdb::setDatabaseId(a[1], a[2], a[3]); return 0; }
        if (cmd == "unique-name" && a.size() == 4) { devdb::setUniqueName(a[1], a[2], a[3]); return 0; }
        if (cmd == "user-created" && a.size() == 5) { devdb::setUserCreated(a[1], a[2], a[3], a[4]); return 0; }
        if (cmd == "extended" && a.size() == 3) { devdb::setExtendedStrings(a[1], a[2]); return 0; }
    } catch (const std::exception& e) {
        std::cerr << "devdb-tool: " << e.what() << "\n";
        return 1;
    }
    return usage();
}
