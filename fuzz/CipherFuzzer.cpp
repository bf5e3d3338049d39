// The cipher with any key, fill on or off, any length, and encodings cut anywhere.
#include <string>

#include "FuzzSupport.h"
#include "common/Strings.h"
#include "store/ValueCipher.h"

namespace {

using namespace keyrack;

bool IsDigitOrFillLetter(char c) {
    const int code = static_cast<unsigned char>(c);
    return (code >= '0' && code <= '9') || (code >= 65 && code <= 93) ||
           (code >= 97 && code <= 121);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int key = input.Int16();
    const std::uint8_t flags = input.Byte();
    const bool fill = (flags & 1) != 0;
    const int length = input.Byte();
    const std::size_t cut = input.Byte();
    const std::string text = input.Rest();

    fuzz::DrawsFrom random(text);
    const std::string encoded = EncodeValue(text, key, fill, length, random);
    if (IsBlank(text)) {
        fuzz::Check(encoded.empty(), "blank text encodes to nothing");
    } else {
        // A long run of high characters can push a group past three digits.
        fuzz::Check(encoded.size() >= text.size() * 3, "at least three digits a character");
        fuzz::Check(!fill || encoded.size() >= static_cast<std::size_t>(length),
                    "filled up to the length");
    }
    for (char c : encoded) {
        fuzz::Check(IsDigitOrFillLetter(c), "only digits and fill letters");
    }
    for (int width : {10, 40, 100}) {
        if (StoresIntact(text, key, width)) {
            fuzz::Check(DecodeValue(encoded.substr(0, static_cast<std::size_t>(width)), key) ==
                            (IsBlank(text) ? std::string() : text),
                        "an intact value reads back through its field");
        }
    }
    DecodeValue(encoded.substr(0, cut), key);
    DecodeValue(text, key);
    return 0;
}
