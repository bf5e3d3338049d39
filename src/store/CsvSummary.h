#pragma once

#include <functional>
#include <string>

#include "store/CsvEntries.h"

// The words the window shows once an import is over.
namespace keyrack {

// A catalogue text by number, in UTF-8.
using MessageText = std::function<std::string(int number)>;

// The counts, the columns not kept, the first few rows skipped (row number, title, reason), and
// how many entries a failed write left out, one line each.
std::string ImportSummary(const CsvRead& read, const ImportPlan& plan, const ImportResult& result,
                          const MessageText& message);

}  // namespace keyrack
