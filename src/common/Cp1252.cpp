#include "common/Cp1252.h"

#include "common/Utf8.h"

namespace keyrack {

namespace {

std::optional<char> ByteFor(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        if (Cp1252CodePoint(static_cast<unsigned char>(byte)) == unit) {
            return static_cast<char>(byte);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ToCp1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const auto byte = ByteFor(c.unicode());
        if (!byte) {
            return std::nullopt;
        }
        bytes += *byte;
    }
    return bytes;
}

QString FromCp1252(const std::string& bytes) {
    // Outside 0x80..0x9F the bytes are the Latin-1 characters of the same number.
    QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar& c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F) {
            c = QChar(
                static_cast<char16_t>(Cp1252CodePoint(static_cast<unsigned char>(c.unicode()))));
        }
    }
    return text;
}

}  // namespace keyrack
