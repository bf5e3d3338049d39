#pragma once

#include <QString>
#include <optional>
#include <string>

// The data file keeps single-byte Windows-1252 text; the forms show QString. Qt 6 has no
// codec for it, so the conversion lives here.
namespace keyrack {

// The Windows-1252 bytes of text, or nothing when a character has no place in it.
std::optional<std::string> ToCp1252(const QString& text);

QString FromCp1252(const std::string& bytes);

}  // namespace keyrack
