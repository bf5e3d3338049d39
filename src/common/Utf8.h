#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 text without Qt, for the protected data file whose values are stored as UTF-8.
namespace keyrack {

// The character a Windows-1252 byte stands for; the five bytes it leaves unassigned stand for
// the control characters of the same number, so every byte survives a round trip.
char32_t Cp1252CodePoint(unsigned char byte);

// Whether text is ASCII alone: the same bytes in UTF-8 and in Windows-1252, so it needs no
// conversion between the two.
bool IsAscii(std::string_view text);

std::string Cp1252ToUtf8(const std::string& bytes);

// Whether text is well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsWellFormedUtf8(std::string_view text);

// The longest start of text that is at most maxBytes long and does not end inside a character.
std::string Utf8Prefix(const std::string& text, std::size_t maxBytes);

}  // namespace keyrack
