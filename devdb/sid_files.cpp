#include "sid_files.h"

#include "util.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace devdb {

bool validSid(const std::string& sid)
{
    if (sid.empty() || sid.size() > 64 || sid[0] == '.') return false;
    return std::all_of(sid.begin(), sid.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
               || c == '#' || c == '.' || c == '-';
    });
}

std::string aliasFilePath(const std::string& dataDir, const std::string& sid)
{
    if (!validSid(sid)) throwOra(12154, "TNS:could not resolve the connect identifier specified");
    return dataDir + "/" + upperAscii(sid) + ".alias";
}

std::string sidFilePath(const std::string& dataDir, const std::string& sid)
{
    if (!validSid(sid)) throwOra(12154, "TNS:could not resolve the connect identifier specified");
    const std::string own = dataDir + "/" + upperAscii(sid) + ".db";
    std::error_code ec;
    if (std::filesystem::exists(own, ec)) return own;
    std::ifstream alias(aliasFilePath(dataDir, sid));
    std::string target;
    if (alias && std::getline(alias, target)) {
        target = trim(target);
        // An alias names a real SID (resolved when it was made); never follow a chain.
        if (validSid(target)) return dataDir + "/" + upperAscii(target) + ".db";
    }
    return own;
}

std::string markerPath(const std::string& dataDir, const char* name) { return dataDir + "/" + name; }

bool markerSet(const std::string& dataDir, const char* name)
{
    std::error_code ec;
    return std::filesystem::exists(markerPath(dataDir, name), ec);
}

int markerNumber(const std::string& dataDir, const char* name)
{
    std::ifstream in(markerPath(dataDir, name));
    long long n = 0;
    if (!(in >> n) || n < 0) return 0;
    return int(std::min<long long>(n, 3600000)); // an hour a round trip is plenty for any test
}

} // namespace devdb
