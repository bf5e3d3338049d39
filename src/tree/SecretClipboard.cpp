#include "tree/SecretClipboard.h"

#include "common/Strings.h"

namespace keyrack {

SecretClipboard::~SecretClipboard() {
    timer_.Stop();
}

bool SecretClipboard::Copy(const std::string& text) {
    if (IsBlank(text)) {
        return false;
    }
    clipboard_.PutSecret(text);
    copied_ = text;
    timer_.Start(kClearAfterMs, [this] { ClearIfOurs(); });
    return true;
}

void SecretClipboard::ClearIfOurs() {
    timer_.Stop();
    if (!copied_.empty() && clipboard_.Text() == copied_) {
        clipboard_.Clear();
    }
    copied_.clear();
}

}  // namespace keyrack
