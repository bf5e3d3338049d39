#include "common/Notices.h"

#include <QWidget>

#include "common/Session.h"
#include "lang/Messages.h"

namespace keyrack {

void Notices::Show(const QString& text) {
    prompter_.MessageBox(&window_, text, platform::Prompter::Buttons::Ok, window_.windowTitle());
}

bool Notices::Confirm(const QString& text, platform::Prompter::Buttons buttons) {
    return prompter_.MessageBox(&window_, text, buttons, window_.windowTitle()) ==
           platform::Prompter::Answer::Yes;
}

void Notices::WriteFailed() {
    Show(Message(kMessageWriteFailed) + "\n" + QString::fromStdString(session_.DataFilePath));
}

void Notices::CannotStore(const QString& label, bool protectedFile) {
    Show(Message(protectedFile ? kMessageFieldBytes : kMessageCannotStoreValue) + "\n" + label);
}

void Notices::FileFailed(int message, const std::string& path, const std::string& reason) {
    QString text = Message(message) + "\n" + QString::fromStdString(path);
    if (!reason.empty()) {
        text += "\n" + QString::fromStdString(reason);
    }
    Show(text);
}

}  // namespace keyrack
