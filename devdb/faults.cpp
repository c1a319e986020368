#include "faults.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace devdb {

DbError FaultRule::error() const
{
    int native = 0;
    if (message.rfind("ORA-", 0) == 0) std::from_chars(message.data() + 4, message.data() + message.size(), native);
    return DbError(sqlstate, native, message);
}

std::optional<FaultRule> parseFaultRule(std::string_view line, std::string* why)
{
    auto fail = [&](const char* text) -> std::optional<FaultRule> {
        if (why) *why = text;
        return std::nullopt;
    };
    FaultRule r;
    r.line = std::string(line);
    size_t a = line.find('|');
    size_t b = a == std::string_view::npos ? a : line.find('|', a + 1);
    size_t c = b == std::string_view::npos ? b : line.find('|', b + 1);
    if (c == std::string_view::npos) return fail("expected COUNT|PATTERN|SQLSTATE|MESSAGE");
    std::string count = trim(line.substr(0, a));
    if (!count.empty() && count.back() == '+') { r.andLater = true; count.pop_back(); }
    auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), r.count);
    if (count.empty() || ec != std::errc() || end != count.data() + count.size() || r.count < 1)
        return fail("COUNT must be a positive number, optionally followed by '+'");
    r.pattern = std::string(line.substr(a + 1, b - a - 1));
    if (r.pattern.empty()) return fail("PATTERN is empty (use * for every statement)");
    r.sqlstate = trim(line.substr(b + 1, c - b - 1));
    if (r.sqlstate.size() != 5) return fail("SQLSTATE must have five characters");
    r.message = std::string(line.substr(c + 1));
    if (r.message.empty()) return fail("MESSAGE is empty");
    return r;
}

std::string faultFilePath(const std::string& dataDir) { return dataDir + "/faults"; }

FaultRules loadFaultRules(const std::string& dataDir)
{
    FaultRules result;
    auto& rules = result.rules;
    const std::string path = faultFilePath(dataDir);
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(path, ec);
    if (ec) return result;
    result.version = std::to_string(stamp.time_since_epoch().count());
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (trim(line).empty() || trim(line)[0] == '#') continue;
        result.version += "\n" + line;
        if (auto r = parseFaultRule(line)) rules.push_back(std::move(*r));
    }
    return result;
}

FaultCounter::FaultCounter(std::vector<FaultRule> rules) : rules_(std::move(rules)), seen_(rules_.size(), 0) {}

namespace {
bool fires(const FaultRule& r, int64_t seen) { return r.andLater ? seen >= r.count : seen == r.count; }
} // namespace

const FaultRule* FaultCounter::onStatement(std::string_view sql)
{
    if (rules_.empty()) return nullptr;
    size_t start = sql.find_first_not_of(" \t\r\n\f\v");
    std::string_view text = start == std::string_view::npos ? std::string_view() : sql.substr(start);
    const FaultRule* hit = nullptr;
    for (size_t i = 0; i < rules_.size(); ++i) {
        const FaultRule& r = rules_[i];
        if (r.pattern == "CONNECT") continue;
        if (r.pattern != "*" && text.substr(0, r.pattern.size()) != r.pattern) continue;
        if (fires(r, ++seen_[i]) && !hit) hit = &r;
    }
    return hit;
}

std::optional<FaultRule> onConnectAttempt(const FaultRules& rules)
{
    static std::mutex mutex;
    static std::string version;
    static std::map<std::string, int64_t> seen;
    std::lock_guard lock(mutex);
    if (rules.version != version) {
        version = rules.version;
        seen.clear();
    }
    std::optional<FaultRule> hit;
    for (const FaultRule& r : rules.rules) {
        if (r.pattern != "CONNECT") continue;
        if (fires(r, ++seen[r.line]) && !hit) hit = r;
    }
    return hit;
}

} // namespace devdb
