#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/Clipboard.h"

namespace keyrack::platform {

void SystemClipboard::PutSecret(const std::string& text) {
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    // Clipboard managers and history tools skip data carrying this mark.
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

std::string SystemClipboard::Text() const {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard).toStdString();
}

void SystemClipboard::Clear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

}  // namespace keyrack::platform
