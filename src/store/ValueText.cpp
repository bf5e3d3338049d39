#include "store/ValueText.h"

#include "common/Cp1252.h"

namespace keyrack {

QString ShownText(FileKind kind, const std::string& value) {
    if (kind == FileKind::Protected) {
        return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    }
    return FromCp1252(value);
}

std::optional<std::string> TypedText(FileKind kind, const QString& text) {
    if (kind == FileKind::Protected) {
        return text.toUtf8().toStdString();
    }
    return ToCp1252(text);
}

}  // namespace keyrack
