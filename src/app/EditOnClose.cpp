#include "app/EditOnClose.h"

#include <QWidget>

#include "common/Session.h"
#include "common/WindowMessages.h"
#include "lang/Messages.h"
#include "platform/Prompter.h"

namespace keyrack {

bool SettleEditBeforeClosing(platform::Prompter& prompter, QWidget& window, const Session& session,
                             const std::function<void()>& save,
                             const std::function<void()>& discard) {
    if (!session.Typing()) {
        return true;
    }
    using Answer = platform::Prompter::Answer;
    const Answer answer =
        prompter.MessageBox(&window, Message(kMessageSaveBeforeClosing),
                            platform::Prompter::Buttons::SaveDiscardCancel, window.windowTitle());
    if (answer == Answer::Yes) {
        save();
    } else if (answer == Answer::No) {
        discard();
    }
    return !session.Typing();
}

}  // namespace keyrack
