#pragma once

#include <string>
#include <string_view>

#include "platform/RandomSource.h"

// The running-sum cipher that scrambles every value of the data file. It hides values from a
// casual look at the file; it is not encryption: anyone with the file and this program can
// read them.
namespace keyrack {

// Fixed keys. Files written by every build depend on them: never change them.
constexpr int LoginKey = 58;    // login credentials and the stored per-file key
constexpr int DefaultKey = 41;  // stands in for any key outside 1..199

// Each character becomes a three-digit group; with fill on, random letters follow until the
// text is at least length characters long. A blank text gives the empty string.
std::string EncodeValue(const std::string& text, int key, bool fill, int length,
                        platform::RandomSource& random = platform::SystemRandom());
// EncodeValue's text with fill on and length width, written over a field of width bytes: cut to
// the width, padded with spaces. A blank text leaves the field as it is and gives false.
bool EncodeValueInto(std::string_view text, int key, platform::RandomSource& random, char* field,
                     std::size_t width);

// The inverse of EncodeValue; text that does not start with a digit-like character decodes to
// the empty string.
std::string DecodeValue(std::string_view text, int key);
// DecodeValue's text added to out, for a reader of many values that reuses one buffer.
void AppendDecodedValue(std::string_view text, int key, std::string& out);

// Whether value, encoded with key into a field of fieldWidth bytes, reads back exactly as
// itself: every group within three digits, nothing cut by the width, the decoded text equal.
bool StoresIntact(std::string_view value, int key, int fieldWidth);

// How many characters of plain text a field of fieldWidth bytes can hold.
constexpr int PlainCapacity(int fieldWidth) {
    return fieldWidth / 3;
}

}  // namespace keyrack
