#pragma once
// Where a SID's database lives in a data folder: DIR/<SID>.db, or, for a second name made with
// `devdb alias`, DIR/<NEWSID>.alias naming the SID whose file it shares. Marker files in the same
// folder switch behaviours on for connections opened afterwards.
#include <string>

namespace devdb {

bool validSid(const std::string& sid);
// Path of a SID's database file, through an alias if the SID is one; throws ORA-12154 for names
// that cannot be a SID. The file need not exist yet.
std::string sidFilePath(const std::string& dataDir, const std::string& sid);
std::string aliasFilePath(const std::string& dataDir, const std::string& sid);

// DIR/<name>: "trace", "unordered", "narrow", "latency", "no-arrays".
std::string markerPath(const std::string& dataDir, const char* name);
bool markerSet(const std::string& dataDir, const char* name);
// The whole number a marker file holds ("latency": milliseconds), 0 when absent or unreadable.
int markerNumber(const std::string& dataDir, const char* name);

} // namespace devdb
