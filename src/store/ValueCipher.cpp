#include "store/ValueCipher.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "common/Strings.h"

namespace keyrack {

namespace {

int EffectiveKey(int key) {
    return key >= 1 && key <= 199 ? key : DefaultKey;
}

int Code(char c) {
    return static_cast<unsigned char>(c);
}

// Calls visit with each character's group in turn; no list is built, as every record of an
// import passes through here ten times.
template <typename Visit>
void ForEachGroup(std::string_view text, int key, Visit visit) {
    const int k = EffectiveKey(key);
    int v = Code(text[0]) + k;
    visit(v);
    for (std::size_t i = 1; i < text.size(); ++i) {
        const int c = Code(text[i]);
        const int s = c + v + k;
        // A character with c + k > 221 reduced by 221 would read back as another character;
        // it keeps the full sum while that still fits three digits.
        if (s < 255 || (c + k > 221 && s <= 999)) {
            v = s;
        } else {
            v = s - 221;
        }
        visit(v);
    }
}

// The fill letters: a draw below 57 from "A" on that falls on a letter from A to ] or from a to
// y, drawn again otherwise.
constexpr char kFillChoices[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]\0\0\0abcdefghijklmnopqrstuvwxy";
constexpr std::uint32_t kFillDraws = sizeof kFillChoices - 1;
static_assert(kFillDraws == 57);

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A group that is not three digits: only a damaged field holds one.
int UnusualGroupValue(std::string_view text, std::size_t at) {
    return static_cast<int>(RoundHalfEven(Val(std::string(text.substr(at, 3)))));
}

// Calls append with the code of each group in turn; groups that begin with a fill letter carry
// none. A group of three digits is read here rather than in a function of its own, as every
// value of a file passes through this loop.
template <typename Append>
void ForEachCode(std::string_view text, int k, Append append) {
    const auto groupAt = [text](std::size_t at) {
        return at + 3 <= text.size() && IsDigit(text[at]) && IsDigit(text[at + 1]) &&
                       IsDigit(text[at + 2])
                   ? (text[at] - '0') * 100 + (text[at + 1] - '0') * 10 + (text[at + 2] - '0')
                   : UnusualGroupValue(text, at);
    };
    int prev = groupAt(0);
    append(prev - k);
    for (std::size_t i = 3; i < text.size(); i += 3) {
        if (Code(text[i]) >= 60) {
            continue;
        }
        const int g = groupAt(i);
        append(g > prev ? g - prev - k : g - k + (221 - prev));
        prev = g;
    }
}

// Codes outside a byte come only from damaged groups; they carry no character.
bool IsCharacterCode(int code) {
    return code > 0 && code <= 255;
}

}  // namespace

std::string EncodeValue(const std::string& text, int key, bool fill, int length,
                        platform::RandomSource& random) {
    if (IsBlank(text)) {
        return {};
    }
    std::string out;
    out.reserve(std::max(text.size() * 3, fill && length > 0 ? std::size_t(length) : 0));
    // Three places per group, written in place: appending them one group at a time cost more
    // than the digits themselves.
    out.resize(text.size() * 3);
    std::size_t at = 0;
    ForEachGroup(text, key, [&out, &at](int group) {
        // A larger group (a value that cannot be stored intact) keeps all of its digits.
        if (group > 999) {
            const std::string digits = std::to_string(group);
            out.replace(at, 3, digits);
            at += digits.size();
            return;
        }
        out[at] = static_cast<char>('0' + group / 100);
        out[at + 1] = static_cast<char>('0' + group / 10 % 10);
        out[at + 2] = static_cast<char>('0' + group % 10);
        at += 3;
    });
    if (fill && static_cast<int>(out.size()) < length) {
        at = out.size();
        out.resize(static_cast<std::size_t>(length));
        random.PickEach(kFillChoices, kFillDraws, &out[at], out.size() - at);
    }
    return out;
}

bool EncodeValueInto(std::string_view text, int key, platform::RandomSource& random, char* field,
                     std::size_t width) {
    if (IsBlank(text)) {
        return false;
    }
    std::size_t at = 0;
    const auto put = [&](char digit) {
        if (at < width) {
            field[at] = digit;
        }
        ++at;
    };
    ForEachGroup(text, key, [&](int group) {
        if (group > 999) {
            for (char digit : std::to_string(group)) {
                put(digit);
            }
            return;
        }
        put(static_cast<char>('0' + group / 100));
        put(static_cast<char>('0' + group / 10 % 10));
        put(static_cast<char>('0' + group % 10));
    });
    if (at < width) {
        random.PickEach(kFillChoices, kFillDraws, field + at, width - at);
    }
    return true;
}

std::string DecodeValue(std::string_view text, int key) {
    std::string out;
    AppendDecodedValue(text, key, out);
    return out;
}

void AppendDecodedValue(std::string_view text, int key, std::string& out) {
    if (text.find_first_not_of(' ') == std::string_view::npos || Code(text[0]) > 60) {
        return;
    }
    const int k = EffectiveKey(key);
    // A field's worth of characters is gathered on the stack and added at once: a short text
    // then stays within the string's own buffer, and nothing is filled only to be overwritten.
    char gathered[128];
    if (text.size() / 3 + 1 <= sizeof gathered) {
        std::size_t length = 0;
        ForEachCode(text, k, [&](int code) {
            if (IsCharacterCode(code)) {
                gathered[length++] = static_cast<char>(code);
            }
        });
        out.append(gathered, length);
        return;
    }
    ForEachCode(text, k, [&out](int code) {
        if (IsCharacterCode(code)) {
            out += static_cast<char>(code);
        }
    });
}

bool StoresIntact(std::string_view value, int key, int fieldWidth) {
    if (IsBlank(value)) {
        return true;
    }
    if (static_cast<int>(value.size()) > PlainCapacity(fieldWidth)) {
        return false;
    }
    // Each group must read back as its own character the way DecodeValue reads it: within three
    // digits, and no NUL, which reading leaves out. Checked group by group, as an import asks
    // this of every value it brings in.
    const int k = EffectiveKey(key);
    bool fits = true;
    int previous = -1;
    std::size_t at = 0;
    ForEachGroup(value, key, [&](int group) {
        const int code = Code(value[at++]);
        const int read = previous < 0       ? group - k
                         : group > previous ? group - previous - k
                                            : group - k + (221 - previous);
        fits = fits && group >= 0 && group <= 999 && code != 0 && read == code;
        previous = group;
    });
    return fits;
}

}  // namespace keyrack
