#include "devdb_admin.h"

#include "catalogue.h"
#include "faults.h"
#include "session.h"
#include "store.h"
#include "util.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace devdb {

namespace {
std::string absoluteDir(const std::string& dir)
{
    if (dir.empty()) throw std::runtime_error("data folder name is empty");
    return fs::absolute(dir).lexically_normal().string();
}

void requireDataDir(const std::string& dir)
{
    if (!fs::is_directory(dir)) throw std::runtime_error(dir + " is not a devdb data folder (run init first)");
}

// A value in an ini file cannot span lines.
void requireSingleLine(const std::string& what, const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos) throw std::runtime_error(what + " must not contain a line break");
}
} // namespace

void initDataDir(const std::string& dir, const std::string& driverLibraryPath, const std::vector<std::string>& driverNames)
{
    const std::string abs = absoluteDir(dir);
    requireSingleLine("data folder", abs);
    std::error_code ec;
    fs::create_directories(abs, ec);
    if (ec) throw std::runtime_error("cannot create " + abs + ": " + ec.message());
    registerDriver(abs, driverLibraryPath, driverNames);
    std::ofstream dsn(abs + "/odbc.ini", std::ios::app); // the driver manager looks for it; no DSNs needed
    if (!dsn) throw std::runtime_error("cannot write the ini files in " + abs);
}

void registerDriver(const std::string& dir, const std::string& driverLibraryPath, const std::vector<std::string>& driverNames)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    requireSingleLine("driver path", driverLibraryPath);
    const std::string driver = fs::absolute(driverLibraryPath).lexically_normal().string();
    if (!fs::exists(driver)) throw std::runtime_error("driver library not found: " + driver);

    std::ofstream ini(abs + "/odbcinst.ini", std::ios::trunc);
    ini << "[ODBC]\n"
           "Trace=No\n";
    for (const std::string& name : driverNames) {
        requireSingleLine("driver name", name);
        if (name.empty() || name.find_first_of("[]") != std::string::npos)
            throw std::runtime_error("invalid driver name '" + name + "'");
        const bool oracles = !iequals(name, kMicrosoftDriverName);
        ini << "\n[" << name << "]\n"
            << "Description=devdb: stand-in for Oracle on SQLite files"
            << (oracles ? ", posing as Oracle's own ODBC driver\n" : "\n")
            << "Driver=" << driver << "\nDataDir=" << abs << "\n";
        // Oracle's own driver names the database in DBQ= and knows no Server=.
        if (oracles) ini << "DatabaseKeyword=DBQ\n";
    }
    if (!ini) throw std::runtime_error("cannot write " + abs + "/odbcinst.ini");
}

std::string connectionStringFor(const std::string& dir, const std::string& sid, const std::string& user,
                                const std::string& password)
{
    // The first driver registered in the folder, in the keyword it names the database by.
    std::ifstream ini(absoluteDir(dir) + "/odbcinst.ini");
    std::string line, name;
    bool dbq = false;
    while (std::getline(ini, line)) {
        const std::string t = trim(line);
        if (t.size() > 2 && t.front() == '[' && t.back() == ']') {
            if (!name.empty()) break;
            if (!iequals(t, "[ODBC]")) name = t.substr(1, t.size() - 2);
        } else if (!name.empty() && iequals(t, "DatabaseKeyword=DBQ")) {
            dbq = true;
        }
    }
    if (name.empty()) throw std::runtime_error(dir + " registers no driver (run init first)");
    auto braced = [](const std::string& v) {
        std::string out = "{";
        for (char c : v) out += c == '}' ? std::string("}}") : std::string(1, c);
        return out + "}";
    };
    return "Driver=" + braced(name) + (dbq ? ";DBQ=" : ";Server=") + braced(sid) + ";Uid=" + braced(user)
        + ";Pwd=" + braced(password) + ";";
}

namespace {
std::string sidPath(const std::string& abs, const std::string& sid)
{
    try {
        return sidFilePath(abs, sid);
    } catch (const DbError&) {
        throw std::runtime_error("invalid SID '" + sid + "': use letters, digits, _ $ # . -");
    }
}

// The database file of an existing SID (or alias).
std::unique_ptr<SqliteDb> openExisting(const std::string& abs, const std::string& sid)
{
    const std::string path = sidPath(abs, sid);
    if (!fs::is_regular_file(path)) throw std::runtime_error("no database " + upperAscii(sid) + " in " + abs);
    try {
        return SqliteDb::open(path, false);
    } catch (const DbError& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

void setMarker(const std::string& dir, const char* name, bool on)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    const std::string path = markerPath(abs, name);
    std::error_code ec;
    if (on) {
        std::ofstream(path, std::ios::app);
        if (!fs::exists(path, ec)) throw std::runtime_error("cannot write " + path);
    } else {
        fs::remove(path, ec);
        if (ec) throw std::runtime_error("cannot remove " + path + ": " + ec.message());
    }
}
} // namespace

void addUser(const std::string& dir, const std::string& sid, const std::string& user, const std::string& password)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    const std::string name = upperAscii(trim(user));
    if (name.empty()) throw std::runtime_error("user name is empty");
    if (password.empty()) throw std::runtime_error("password is empty");
    auto db = SqliteDb::open(sidPath(abs, sid), true);
    catalogue::setPassword(*db, name, password);
}

void addAlias(const std::string& dir, const std::string& newSid, const std::string& sid)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    const std::string target = sidPath(abs, sid);
    if (!fs::is_regular_file(target)) throw std::runtime_error("no database " + upperAscii(sid) + " in " + abs);
    const std::string taken = sidPath(abs, newSid); // its own file, or the one its alias names
    if (fs::exists(taken)) {
        if (taken == target && fs::exists(aliasFilePath(abs, newSid))) return; // already so
        throw std::runtime_error(upperAscii(newSid) + " already names a database in " + abs);
    }
    std::ofstream out(aliasFilePath(abs, newSid), std::ios::trunc);
    out << fs::path(target).stem().string() << "\n"; // the real SID, so aliases never chain
    if (!out) throw std::runtime_error("cannot write " + aliasFilePath(abs, newSid));
}

void setContainer(const std::string& dir, const std::string& sid, const std::string& cdb)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    if (!cdb.empty() && !validSid(cdb)) throw std::runtime_error("invalid container name '" + cdb + "'");
    auto db = openExisting(abs, sid);
    catalogue::setContainer(*db, upperAscii(cdb));
}

void setUnordered(const std::string& dir, bool on) { setMarker(dir, "unordered", on); }
void setNarrow(const std::string& dir, bool on) { setMarker(dir, "narrow", on); }
void setNoArrays(const std::string& dir, bool on) { setMarker(dir, "no-arrays", on); }

void setLatency(const std::string& dir, int milliseconds)
{
    if (milliseconds < 0) throw std::runtime_error("latency must be 0 or more milliseconds");
    setMarker(dir, "latency", milliseconds > 0);
    if (milliseconds == 0) return;
    std::ofstream out(markerPath(absoluteDir(dir), "latency"), std::ios::trunc);
    out << milliseconds << "\n";
    if (!out) throw std::runtime_error("cannot write " + markerPath(absoluteDir(dir), "latency"));
}

void addFault(const std::string& dir, const std::string& rule)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    requireSingleLine("fault rule", rule);
    std::string why;
    if (!parseFaultRule(rule, &why)) throw std::runtime_error("invalid fault rule '" + rule + "': " + why);
    std::ofstream out(faultFilePath(abs), std::ios::app);
    out << rule << "\n";
    if (!out) throw std::runtime_error("cannot write " + faultFilePath(abs));
}

void clearFaults(const std::string& dir)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    std::error_code ec;
    fs::remove(faultFilePath(abs), ec);
    if (ec) throw std::runtime_error("cannot remove " + faultFilePath(abs) + ": " + ec.message());
}

// ---- who a database is, and what it takes

void copyDatabase(const std::string& dir, const std::string& newSid, const std::string& sid)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    auto db = openExisting(abs, sid);
    const std::string copy = sidPath(abs, newSid);
    if (fs::exists(copy)) throw std::runtime_error(upperAscii(newSid) + " already names a database in " + abs);
    // A consistent copy whatever the write-ahead log still holds.
    db->prepare("VACUUM INTO ?").bind(1, copy).step();
}

void setDatabaseId(const std::string& dir, const std::string& sid, const std::string& databaseId)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    if (databaseId.empty() || databaseId.size() > 19 || databaseId.find_first_not_of("0123456789") != std::string::npos)
        throw std::runtime_error("invalid database id '" + databaseId + "': use digits only");
    auto db = openExisting(abs, sid);
    catalogue::setDatabaseId(*db, databaseId);
}

void setUniqueName(const std::string& dir, const std::string& sid, const std::string& uniqueName)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    if (!uniqueName.empty() && !validSid(uniqueName)) throw std::runtime_error("invalid unique name '" + uniqueName + "'");
    auto db = openExisting(abs, sid);
    catalogue::setUniqueName(*db, upperAscii(uniqueName));
}

void setUserCreated(const std::string& dir, const std::string& sid, const std::string& user, const std::string& created)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    const auto parts = parseStoredDateTime(created);
    if (!parts || parts->nanos != 0) throw std::runtime_error("invalid creation time '" + created + "': use YYYY-MM-DD HH:MM:SS");
    auto db = openExisting(abs, sid);
    if (!catalogue::setUserCreated(*db, upperAscii(trim(user)), created))
        throw std::runtime_error("no user " + upperAscii(trim(user)) + " in " + upperAscii(sid));
}

void setExtendedStrings(const std::string& dir, const std::string& sid)
{
    const std::string abs = absoluteDir(dir);
    requireDataDir(abs);
    auto db = openExisting(abs, sid);
    catalogue::setExtendedStrings(*db);
}

} // namespace devdb
