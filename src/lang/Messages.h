#pragma once

#include <QString>

#include "lang/LangFunctions.h"

// Catalogue texts for the forms: "lang.ini" is UTF-8 and its texts are shown as they stand.
namespace keyrack {

inline QString Message(int number) {
    return QString::fromStdString(LangFunctions::GetMessage(number));
}

// Message numbers of the checks that protect the data file.
constexpr int kMessageCannotStoreValue = 53;
// The same refusal in a protected file, whose fields hold 100 bytes of UTF-8.
constexpr int kMessageFieldBytes = 91;
constexpr int kMessageWriteFailed = 54;
constexpr int kMessageFileFull = 55;
constexpr int kMessageTitleNeeded = 58;
// Shown when the tree raised groups nested deeper than MaxGroupDepth; %1 is that depth.
constexpr int kMessageGroupsTooDeep = 75;
// The protected file's commands.
constexpr int kMessageCurrentPassword = 121;
constexpr int kMessageRestoreUnprotects = 122;
// A sync engine's protected conflict copy that the open file's key does not open.
constexpr int kMessageOtherProtectedCopy = 123;

}  // namespace keyrack
