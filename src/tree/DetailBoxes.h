#pragma once

#include <optional>
#include <string>
#include <vector>

// Tidying what the detail boxes receive.
namespace keyrack {

// The title on one line: each line break (carriage return and line feed together, or either
// alone) becomes one space, and the ends are trimmed of spaces.
std::string FlattenTitle(const std::string& title);

// The path of the last dropped item that is not a folder (an item that cannot be looked at
// counts as a file); none when every item is a folder.
std::optional<std::string> LastDroppedFile(const std::vector<std::string>& paths);

}  // namespace keyrack
