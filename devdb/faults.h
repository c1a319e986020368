#pragma once
// Fault rules let tests make the real driver stack fail on purpose. One rule a line in
// DATADIR/faults: COUNT|PATTERN|SQLSTATE|MESSAGE, COUNT being N (the N-th match) or N+ (the N-th
// and every later match). PATTERN is a statement prefix, "*" for any statement, or CONNECT.
#include "util.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devdb {

struct FaultRule {
    int64_t count = 1;
    bool andLater = false;
    std::string pattern;
    std::string sqlstate;
    std::string message;
    std::string line; // as written, to key process-wide CONNECT counts

    bool losesConnection() const { return sqlstate.rfind("08", 0) == 0; }
    DbError error() const;
};

// Parses one line; returns nullopt and sets *why for a malformed rule.
std::optional<FaultRule> parseFaultRule(std::string_view line, std::string* why = nullptr);
std::string faultFilePath(const std::string& dataDir);
struct FaultRules {
    std::vector<FaultRule> rules;
    std::string version; // changes whenever the file is rewritten
};
// Reads the rules in force; a missing file means none, malformed lines are skipped.
FaultRules loadFaultRules(const std::string& dataDir);

// Per-connection statement counting.
class FaultCounter {
public:
    FaultCounter() = default;
    explicit FaultCounter(std::vector<FaultRule> rules);
    // Counts this statement against every rule; returns the first rule that fires, if any.
    const FaultRule* onStatement(std::string_view sql);
    bool empty() const { return rules_.empty(); }

private:
    std::vector<FaultRule> rules_;
    std::vector<int64_t> seen_;
};

// Counts a connection attempt (process-wide) against the CONNECT rules. Counts restart when
// the rule file has been rewritten, so a test can set up the same rule twice.
std::optional<FaultRule> onConnectAttempt(const FaultRules& rules);

} // namespace devdb
