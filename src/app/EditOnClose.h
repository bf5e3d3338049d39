#pragma once

#include <functional>

class QWidget;

namespace keyrack {

struct Session;
namespace platform {
class Prompter;
}

// Before the window closes while an entry is being edited: asks whether to save it, discard it
// or go back to it, and runs save or discard. True when the window may close, which it may not
// while the entry is still being edited (the user went back, or saving failed).
bool SettleEditBeforeClosing(platform::Prompter& prompter, QWidget& window, const Session& session,
                             const std::function<void()>& save,
                             const std::function<void()>& discard);

}  // namespace keyrack
