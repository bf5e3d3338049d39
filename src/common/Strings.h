#pragma once

#include <string>
#include <string_view>

// Small text routines shared by every subsystem. "Blank" throughout the program means empty once
// leading and trailing spaces are removed; only the space character counts as a space here.
namespace keyrack {

std::string Trim(const std::string& text);
// Trim's text without a copy.
std::string_view TrimmedView(std::string_view text);
bool IsBlank(std::string_view text);
// Whether text holds nothing but spaces, tabs and line breaks.
bool IsBlankOrLineBreaks(const std::string& text);
std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);

// The n-th field (from 1) of the trimmed text split at separator; empty when text or separator
// is blank or n is beyond the last field. Spaces next to separators stay in the field.
std::string GetField(const std::string& text, const std::string& separator, int n);

// The number at the start of text (leading spaces skipped, optional sign, digits, optional
// fraction); 0 when there is none.
double Val(const std::string& text);

// text trimmed, with every find character replaced by replacement (which must not contain it),
// trimmed again.
std::string ReplaceChar(const std::string& text, char find, const std::string& replacement);

// Rounds halves to the even neighbour, as the stored counts and lengths expect.
long long RoundHalfEven(double value);

}  // namespace keyrack
