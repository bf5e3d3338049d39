#pragma once

#include <string>

#include "store/RecordStore.h"

// How a value stands against the field it is bound for, so a box can say so while the user types
// instead of only when saving.
namespace keyrack {

struct FieldFit {
    bool fits = true;
    // Set when the value is too long: how many of its characters the field keeps, and how many
    // it has. A value that fits in length but holds characters the file cannot keep has neither.
    int keeps = 0;
    int has = 0;
};

// value is the stored form in the open file's encoding: Windows-1252 for a plain file, UTF-8 for
// a protected one. The same rule decides whether saving refuses it.
FieldFit JudgeFieldFit(FileKind kind, const std::string& value, int field, int dataKey);

}  // namespace keyrack
