#pragma once

#include <string>

#include "platform/Clipboard.h"
#include "platform/OneShotTimer.h"

namespace keyrack {

// Does every copy of a user name or password, and takes the copied text off the clipboard
// again a short while later, when the program ends or when it is locked: but only while the
// clipboard still holds exactly that text, so whatever the user copied since is kept.
class SecretClipboard {
  public:
    static constexpr int kClearAfterMs = 10000;

    SecretClipboard(platform::Clipboard& clipboard, platform::OneShotTimer& timer)
        : clipboard_(clipboard), timer_(timer) {}
    ~SecretClipboard();
    SecretClipboard(const SecretClipboard&) = delete;
    SecretClipboard& operator=(const SecretClipboard&) = delete;

    // Puts text, untrimmed, on the clipboard and starts the delay afresh; a blank text (only
    // spaces) leaves the clipboard as it is and returns false.
    bool Copy(const std::string& text);
    // Clears the clipboard if it still holds the last copied text; forgets that text either way.
    void ClearIfOurs();

  private:
    platform::Clipboard& clipboard_;
    platform::OneShotTimer& timer_;
    std::string copied_;
};

}  // namespace keyrack
