#include "login/InstanceLock.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace keyrack {

namespace {

constexpr std::size_t kLongestPid = 18;

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

bool IsPid(const std::string& text) {
    return !text.empty() && text.size() <= kLongestPid && text != "0" &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

LockFinding JudgeLockFile(const std::optional<std::string>& content,
                          const std::string& thisComputer, const ProcessRuns& processRuns) {
    if (!content) {
        return {LockFinding::Kind::Unreadable, {}};
    }
    const std::vector<std::string> lines = Lines(*content);
    if (lines.size() < 3 || !IsPid(lines[0]) || lines[1].empty() || lines[2].empty()) {
        return {LockFinding::Kind::Unreadable, {}};
    }
    const std::string& computer = lines[2];
    if (computer != thisComputer) {
        return {LockFinding::Kind::OtherComputer, computer};
    }
    // A process id is used again after a restart: only the same program counts as holding it.
    return processRuns(std::stoll(lines[0]), lines[1])
               ? LockFinding{LockFinding::Kind::LiveHere, computer}
               : LockFinding{LockFinding::Kind::Stale, computer};
}

}  // namespace keyrack
