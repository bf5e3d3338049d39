#include "store/ConflictCopyName.h"

#include <regex>

namespace keyrack {

namespace {

std::string Escaped(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

}  // namespace

bool IsConflictCopyName(const std::string& fileName, const std::string& dataFileName) {
    const std::size_t dot = dataFileName.rfind('.');
    const std::string stem = Escaped(dataFileName.substr(0, dot));
    const std::string extension =
        dot == std::string::npos ? std::string() : Escaped(dataFileName.substr(dot));
    const std::string date = R"(\d{4}-\d{2}-\d{2})";
    const std::regex engines[] = {
        std::regex(stem + R"(\.sync-conflict-\d{8}-\d{6}-[A-Z2-7]{7})" + extension),
        std::regex(stem + R"( \(conflicted copy )" + date + R"( \d{6}\))" + extension),
        std::regex(stem + R"( \([^()/]+'s conflicted copy )" + date + R"(( \(\d+\))?\))" +
                   extension),
    };
    for (const std::regex& engine : engines) {
        if (std::regex_match(fileName, engine)) {
            return true;
        }
    }
    return false;
}

std::string MergedCopyName(const std::string& copyName,
                           const std::function<bool(const std::string&)>& taken) {
    std::string name = copyName + ".merged";
    for (int n = 2; taken(name); ++n) {
        name = copyName + ".merged-" + std::to_string(n);
    }
    return name;
}

}  // namespace keyrack
