#include "tree/DetailBoxes.h"

#include <filesystem>

#include "common/Strings.h"

namespace keyrack {

std::string FlattenTitle(const std::string& title) {
    // The text boxes give a line break as a line feed alone; a pasted one may carry a carriage
    // return before it. Both count once.
    if (title.find_first_of("\r\n") == std::string::npos) {
        return Trim(title);
    }
    std::string breaksAsReturns;
    breaksAsReturns.reserve(title.size());
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '\n') {
            if (i == 0 || title[i - 1] != '\r') {
                breaksAsReturns += '\r';
            }
        } else {
            breaksAsReturns += title[i];
        }
    }
    return ReplaceChar(breaksAsReturns, '\r', " ");
}

std::optional<std::string> LastDroppedFile(const std::vector<std::string>& paths) {
    std::optional<std::string> last;
    for (const std::string& path : paths) {
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            last = path;
        }
    }
    return last;
}

}  // namespace keyrack
