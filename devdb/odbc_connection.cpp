// The environment and the connection: their attributes, connecting by connection string or DSN (and
// where the data folder comes from), disconnecting, and the calls a connection answers without a
// statement (SQLNativeSql, SQLEndTran).
#include "connstr.h"
#include "odbc_handles.h"
#include "sid_files.h"
#include "util.h"

#include <odbcinst.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace devdb {
namespace {

constexpr const char* driverSection = "Microsoft ODBC for Oracle";

std::string profileString(const std::string& section, const char* key, const char* file)
{
    char buf[4096] = {};
    const int n = SQLGetPrivateProfileString(section.c_str(), key, "", buf, sizeof buf, file);
    return n > 0 ? std::string(buf, strnlen(buf, sizeof buf)) : std::string();
}

// Reads KEY from [SECTION] of an ini file (names compared without case); empty if absent.
std::string iniValue(const std::string& path, const std::string& section, const std::string& key)
{
    std::ifstream in(path);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;
        if (t.front() == '[') {
            inSection = t.back() == ']' && iequals(trim(t.substr(1, t.size() - 2)), section);
            continue;
        }
        const size_t eq = t.find('=');
        if (inSection && eq != std::string::npos && iequals(trim(t.substr(0, eq)), key)) return trim(t.substr(eq + 1));
    }
    return {};
}

// A key of the driver's own section in odbcinst.ini (the section of the name it was called by, else
// Microsoft's); empty if absent.
std::string driverSetting(const std::string& driverName, const char* key)
{
    std::string value;
    // libodbcinst caches ini contents per process, so a process that points ODBCSYSINI at another
    // folder (one test fixture after another) would keep seeing the first DataDir. Read the
    // current file ourselves first.
    if (const char* sysini = std::getenv("ODBCSYSINI"); sysini && *sysini) {
        const std::string path = std::string(sysini) + "/odbcinst.ini";
        if (!driverName.empty()) value = iniValue(path, driverName, key);
        if (value.empty()) value = iniValue(path, driverSection, key);
    }
    if (value.empty() && !driverName.empty()) value = profileString(driverName, key, "odbcinst.ini");
    if (value.empty()) value = profileString(driverSection, key, "odbcinst.ini");
    return value;
}

std::string dataDirFor(const std::string& driverName)
{
    const std::string dir = driverSetting(driverName, "DataDir");
    if (dir.empty())
        throw DbError("08001", 0,
                      "No data folder: the driver's section in odbcinst.ini needs DataDir=<folder> (see devdb-tool init)");
    return dir;
}

// With DIR/connections present, every connection string the driver is given is appended to it,
// one a line, as it came: tests see what the program sent, driver name and keywords included.
void traceConnection(const std::string& driverName, const std::string& text)
{
    const std::string dir = driverSetting(driverName, "DataDir");
    if (dir.empty() || !markerSet(dir, "connections")) return;
    std::ofstream(markerPath(dir, "connections"), std::ios::app) << text << "\n";
}

SQLRETURN connect(Dbc* d, const std::string& driverName, const std::string& server, const std::string& user,
                  const std::string& password)
{
    if (d->session) return d->fail("08002", "Connection name in use");
    d->session = Session::connect(dataDirFor(driverName), server, user, password);
    // Autocommit may have been turned off before connecting.
    if (auto it = d->attributes.find(SQL_ATTR_AUTOCOMMIT); it != d->attributes.end() && it->second == SQL_AUTOCOMMIT_OFF)
        d->session->setAutocommit(false);
    return SQL_SUCCESS;
}

} // namespace
} // namespace devdb

using namespace devdb;

DEVDB_ENTRY SQLSetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER)
{
    Env* e = lookup<Env>(handle, HandleKind::Env);
    if (!e) return SQL_INVALID_HANDLE;
    e->clearDiags();
    if (attribute == SQL_ATTR_ODBC_VERSION) e->odbcVersion = SQLINTEGER(reinterpret_cast<intptr_t>(value));
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLGetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER, SQLINTEGER* length)
{
    Env* e = lookup<Env>(handle, HandleKind::Env);
    if (!e) return SQL_INVALID_HANDLE;
    e->clearDiags();
    SQLINTEGER v = 0;
    switch (attribute) {
    case SQL_ATTR_ODBC_VERSION: v = e->odbcVersion; break;
    case SQL_ATTR_OUTPUT_NTS: v = SQL_TRUE; break;
    case SQL_ATTR_CONNECTION_POOLING: v = SQL_CP_OFF; break;
    case SQL_ATTR_CP_MATCH: v = SQL_CP_STRICT_MATCH; break;
    default: return e->fail("HY092", "Invalid attribute/option identifier");
    }
    if (value) std::memcpy(value, &v, sizeof v);
    if (length) *length = sizeof v;
    return SQL_SUCCESS;
}

// The string attributes (catalog, trace file, translation library) are accepted and ignored,
// so the A and W forms are the same.
DEVDB_ENTRY SQLSetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER)
{
    DBC_OR_INVALID(d, handle);
    const auto v = SQLULEN(reinterpret_cast<uintptr_t>(value));
    switch (attribute) {
    case SQL_ATTR_CURRENT_CATALOG: case SQL_ATTR_TRACEFILE: case SQL_ATTR_TRANSLATE_LIB: return SQL_SUCCESS;
    case SQL_ATTR_AUTOCOMMIT:
        if (v != SQL_AUTOCOMMIT_ON && v != SQL_AUTOCOMMIT_OFF) return d->fail("HY024", "Invalid attribute value");
        return guarded(d, [&] {
            // Turning autocommit on commits the open transaction: a round trip.
            if (d->session && d->session->setAutocommit(v == SQL_AUTOCOMMIT_ON)) d->session->roundTrip();
            d->attributes[attribute] = v;
            return SQLRETURN(SQL_SUCCESS);
        });
    default: d->attributes[attribute] = v; return SQL_SUCCESS;
    }
}

DEVDB_ENTRY SQLSetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER length)
{
    return SQLSetConnectAttr(handle, attribute, value, length);
}

namespace {
SQLRETURN getConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                         SQLINTEGER* length, bool wide)
{
    DBC_OR_INVALID(d, handle);
    switch (attribute) {
    // The string attributes are accepted and forgotten: they read back empty, within the buffer.
    case SQL_ATTR_CURRENT_CATALOG: case SQL_ATTR_TRACEFILE: case SQL_ATTR_TRANSLATE_LIB:
        return copyString(d, "", byteBuffer(value, capacity, wide), length);
    default: break;
    }
    auto stored = d->attributes.find(attribute);
    SQLULEN v = 0;
    switch (attribute) {
    case SQL_ATTR_CONNECTION_DEAD: v = (!d->session || d->session->lost()) ? SQL_CD_TRUE : SQL_CD_FALSE; break;
    case SQL_ATTR_AUTOCOMMIT: v = stored != d->attributes.end() ? stored->second : SQL_AUTOCOMMIT_ON; break;
    case SQL_ATTR_ACCESS_MODE: v = SQL_MODE_READ_WRITE; break;
    case SQL_ATTR_TXN_ISOLATION: v = SQL_TXN_READ_COMMITTED; break;
    default: v = stored != d->attributes.end() ? stored->second : 0; break;
    }
    // Most integer attributes are 32 bits; these few are as wide as a pointer.
    const bool wideValue = attribute == SQL_ATTR_ODBC_CURSORS || attribute == SQL_ATTR_QUIET_MODE;
    if (wideValue) {
        if (value) std::memcpy(value, &v, sizeof v);
        if (length) *length = sizeof v;
        return SQL_SUCCESS;
    }
    const auto narrow = SQLUINTEGER(v);
    if (value) std::memcpy(value, &narrow, sizeof narrow);
    if (length) *length = sizeof narrow;
    return SQL_SUCCESS;
}
} // namespace

DEVDB_ENTRY SQLGetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                              SQLINTEGER* length)
{
    return getConnectAttr(handle, attribute, value, capacity, length, false);
}

DEVDB_ENTRY SQLGetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER capacity,
                               SQLINTEGER* length)
{
    return getConnectAttr(handle, attribute, value, capacity, length, true);
}

namespace {
template <typename Char>
SQLRETURN driverConnect(SQLHDBC handle, Char* in, SQLSMALLINT inLength, Char* out, SQLSMALLINT outCapacity,
                        SQLSMALLINT* outLength)
{
    DBC_OR_INVALID(d, handle);
    return guarded(d, [&] {
        const std::string text = textArgument(in, inLength);
        const ConnectionString cs = ConnectionString::parse(text);
        const std::string driverName = cs.get("DRIVER").value_or("");
        traceConnection(driverName, text);
        std::string sid;
        if (iequals(driverSetting(driverName, "DatabaseKeyword"), "DBQ")) {
            // Registered as Oracle's own driver: the database is named in DBQ= alone, by a TNS alias
            // or an Easy Connect text; Server= means nothing to it.
            const std::optional<std::string> dbq = cs.get("DBQ");
            if (!dbq || dbq->empty()) throwOra(12162, "TNS:net service name is incorrectly specified");
            sid = serviceOfConnectDescriptor(*dbq);
        } else {
            sid = cs.any({"SERVER", "DBQ"}).value_or("");
        }
        const SQLRETURN rc = connect(d, driverName, sid, cs.any({"UID", "USER ID"}).value_or(""),
                                     cs.any({"PWD", "PASSWORD"}).value_or(""));
        if (rc != SQL_SUCCESS) return rc;
        return copyString(d, text, textBuffer(out, outCapacity), outLength);
    });
}

template <typename Char>
SQLRETURN connectDsn(SQLHDBC handle, Char* dsn, SQLSMALLINT dsnLength, Char* user, SQLSMALLINT userLength,
                     Char* password, SQLSMALLINT passwordLength)
{
    DBC_OR_INVALID(d, handle);
    return guarded(d, [&] {
        // A DSN may name the SID in Server=; otherwise the DSN itself is taken as the SID.
        const std::string name = textArgument(dsn, dsnLength);
        std::string server = profileString(name, "Server", "odbc.ini");
        return connect(d, profileString(name, "Driver", "odbc.ini"), server.empty() ? name : server,
                       textArgument(user, userLength), textArgument(password, passwordLength));
    });
}

template <typename Char>
SQLRETURN nativeSql(SQLHDBC handle, Char* in, SQLINTEGER inLength, Char* out, SQLINTEGER outCapacity,
                    SQLINTEGER* outLength)
{
    DBC_OR_INVALID(d, handle);
    if (!in) return d->fail("HY009", "Invalid use of null pointer");
    return guarded(d, [&] { return copyString(d, textArgument(in, inLength), textBuffer(out, outCapacity), outLength); });
}
} // namespace

DEVDB_ENTRY SQLDriverConnect(SQLHDBC handle, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                             SQLSMALLINT outCapacity, SQLSMALLINT* outLength, SQLUSMALLINT)
{
    return driverConnect(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLDriverConnectW(SQLHDBC handle, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                              SQLSMALLINT outCapacity, SQLSMALLINT* outLength, SQLUSMALLINT)
{
    return driverConnect(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLConnect(SQLHDBC handle, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                       SQLCHAR* password, SQLSMALLINT passwordLength)
{
    return connectDsn(handle, dsn, dsnLength, user, userLength, password, passwordLength);
}

DEVDB_ENTRY SQLConnectW(SQLHDBC handle, SQLWCHAR* dsn, SQLSMALLINT dsnLength, SQLWCHAR* user, SQLSMALLINT userLength,
                        SQLWCHAR* password, SQLSMALLINT passwordLength)
{
    return connectDsn(handle, dsn, dsnLength, user, userLength, password, passwordLength);
}

DEVDB_ENTRY SQLDisconnect(SQLHDBC handle)
{
    DBC_OR_INVALID(d, handle);
    for (Stmt* s : d->statements) s->closeCursor(); // cursors must go before the database handle
    d->session.reset(); // rolls back an open transaction
    return SQL_SUCCESS;
}

DEVDB_ENTRY SQLNativeSql(SQLHDBC handle, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER outCapacity,
                         SQLINTEGER* outLength)
{
    return nativeSql(handle, in, inLength, out, outCapacity, outLength);
}

DEVDB_ENTRY SQLNativeSqlW(SQLHDBC handle, SQLWCHAR* in, SQLINTEGER inLength, SQLWCHAR* out, SQLINTEGER outCapacity,
                          SQLINTEGER* outLength)
{
    return nativeSql(handle, in, inLength, out, outCapacity, outLength);
}

// Commits or rolls back the transaction of one connection, or of every connection of an
// environment. unixODBC maps ODBC 2's SQLTransact here.
DEVDB_ENTRY SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion)
{
    Handle* h = diagHandle(type, handle);
    if (!h) return SQL_INVALID_HANDLE;
    h->clearDiags();
    if (type != SQL_HANDLE_ENV && type != SQL_HANDLE_DBC) return h->fail("HY092", "Invalid attribute/option identifier");
    if (completion != SQL_COMMIT && completion != SQL_ROLLBACK) return h->fail("HY012", "Invalid transaction operation code");
    std::vector<Dbc*> connections;
    if (type == SQL_HANDLE_DBC) connections.push_back(static_cast<Dbc*>(h));
    else connections.assign(static_cast<Env*>(h)->connections.begin(), static_cast<Env*>(h)->connections.end());
    if (type == SQL_HANDLE_DBC && !connections.front()->session) return h->fail("08003", "Connection not open");
    return guarded(h, [&] {
        for (Dbc* d : connections) {
            if (!d->session) continue;
            d->session->roundTrip();
            if (completion == SQL_COMMIT) d->session->commit();
            else d->session->rollback();
        }
        return SQLRETURN(SQL_SUCCESS);
    });
}
