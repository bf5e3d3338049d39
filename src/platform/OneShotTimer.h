#pragma once

#include <functional>
#include <memory>

class QTimer;

namespace keyrack::platform {

// Calls back once after a delay; tests fire it themselves instead of waiting.
class OneShotTimer {
  public:
    virtual ~OneShotTimer() = default;
    // Starts the delay afresh, replacing any callback still pending.
    virtual void Start(int milliseconds, std::function<void()> onTimeout) = 0;
    // Forgets the pending callback, if any.
    virtual void Stop() = 0;
};

class SystemOneShotTimer : public OneShotTimer {
  public:
    SystemOneShotTimer();
    ~SystemOneShotTimer() override;
    void Start(int milliseconds, std::function<void()> onTimeout) override;
    void Stop() override;

  private:
    std::unique_ptr<QTimer> timer_;
    std::function<void()> onTimeout_;
};

}  // namespace keyrack::platform
