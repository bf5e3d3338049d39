#include "common/Notices.h"

#include <QWidget>

#include "common/Session.h"
#include "lang/Messages.h"

namespace keyrack {

void Notices::Show(const QString& text, Kind kind) {
    prompter_.Tell(&window_, text, kind, window_.windowTitle());
}

bool Notices::Confirm(const QString& text, platform::Prompter::Buttons buttons) {
    return prompter_.MessageBox(&window_, text, buttons, window_.windowTitle()) ==
           platform::Prompter::Answer::Yes;
}

void Notices::WriteFailed() {
    Show(Message(kMessageWriteFailed) + "\n" + QString::fromStdString(session_.DataFilePath),
         Kind::Error);
}

void Notices::CannotStore(const QString& label, bool protectedFile) {
    Show(Message(protectedFile ? kMessageFieldBytes : kMessageCannotStoreValue) + "\n" + label,
         Kind::Warning);
}

void Notices::FileFailed(int message, const std::string& path, const std::string& reason) {
    QString text = Message(message) + "\n" + QString::fromStdString(path);
    if (!reason.empty()) {
        text += "\n" + QString::fromStdString(reason);
    }
    Show(text, Kind::Error);
}

}  // namespace keyrack
