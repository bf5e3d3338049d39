#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/OneShotTimer.h"

namespace keyrack::testing {

// A clipboard in memory that remembers whether its text was marked as a secret.
struct FakeClipboard : platform::Clipboard {
    void PutSecret(const std::string& value) override {
        text = value;
        secret = true;
    }
    std::string Text() const override { return text; }
    void Clear() override {
        text.clear();
        secret = false;
    }
    // What another program puts there.
    void PutPlain(const std::string& value) {
        text = value;
        secret = false;
    }
    std::string text;
    bool secret = false;
};

// A timer that fires only when the test says so.
struct ManualTimer : platform::OneShotTimer {
    void Start(int milliseconds, std::function<void()> onTimeout) override {
        delay = milliseconds;
        pending = std::move(onTimeout);
    }
    void Stop() override { pending = nullptr; }
    void Fire() {
        auto callback = std::move(pending);
        pending = nullptr;
        if (callback) {
            callback();
        }
    }
    std::function<void()> pending;
    int delay = 0;
};

// Remembers what it was asked to open and answers with opens.
struct FakeDesktop : platform::Desktop {
    bool Open(const std::string& target, const std::string& workingFolder) override {
        opened.push_back({target, workingFolder});
        return opens;
    }
    struct Request {
        std::string target;
        std::string workingFolder;
    };
    std::vector<Request> opened;
    bool opens = true;
};

}  // namespace keyrack::testing
