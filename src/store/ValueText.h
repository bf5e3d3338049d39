#pragma once

#include <QString>
#include <optional>
#include <string>

#include "store/RecordStore.h"

// What the boxes show and take, under the open file's rule: Windows-1252 for a plain file,
// UTF-8 for a protected one.
namespace keyrack {

QString ShownText(FileKind kind, const std::string& value);
// The value's bytes, or nothing when a plain file cannot hold one of its characters.
std::optional<std::string> TypedText(FileKind kind, const QString& text);

}  // namespace keyrack
