#pragma once

#include <functional>
#include <string>

// The copies a file-sync engine leaves beside the data file when two computers changed it
// before hearing from each other.
namespace keyrack {

// Whether fileName (no folder) is such a copy of dataFileName, as one of these names it:
//   cli.sync-conflict-20261206-101500-ABCDEF7.rkd
//   cli (conflicted copy 2026-12-06 101500).rkd
//   cli (Laptop's conflicted copy 2026-12-06).rkd, possibly numbered "... 2026-12-06 (1))"
bool IsConflictCopyName(const std::string& fileName, const std::string& dataFileName);

// The name a merged copy is kept under: no engine's pattern matches it, so it is not offered
// again, and nothing of it is lost. taken says whether a name is already in use.
std::string MergedCopyName(const std::string& copyName,
                           const std::function<bool(const std::string&)>& taken);

}  // namespace keyrack
