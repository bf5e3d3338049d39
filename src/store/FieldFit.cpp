#include "store/FieldFit.h"

#include <algorithm>

#include "common/Utf8.h"
#include "store/ProtectedRecord.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

int Utf8Characters(const std::string& text) {
    // Every character has exactly one byte that is not a continuation byte.
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

}  // namespace

FieldFit JudgeFieldFit(FileKind kind, const std::string& value, int field, int dataKey) {
    FieldFit fit;
    fit.fits = ValueFits(kind, value, field, dataKey);
    if (fit.fits) {
        return fit;
    }
    const int has =
        kind == FileKind::Plain ? static_cast<int>(value.size()) : Utf8Characters(value);
    const int keeps =
        kind == FileKind::Plain
            ? PlainCapacity(FieldWidth(field))
            : Utf8Characters(Utf8Prefix(value, static_cast<std::size_t>(FieldWidth(field))));
    if (has > keeps) {
        fit.keeps = keeps;
        fit.has = has;
    }
    return fit;
}

}  // namespace keyrack
