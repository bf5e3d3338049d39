#include <QTimer>

#include "platform/OneShotTimer.h"

namespace keyrack::platform {

SystemOneShotTimer::SystemOneShotTimer() : timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        const auto onTimeout = std::move(onTimeout_);
        onTimeout_ = nullptr;
        if (onTimeout) {
            onTimeout();
        }
    });
}

SystemOneShotTimer::~SystemOneShotTimer() = default;

void SystemOneShotTimer::Start(int milliseconds, std::function<void()> onTimeout) {
    onTimeout_ = std::move(onTimeout);
    timer_->start(milliseconds);
}

void SystemOneShotTimer::Stop() {
    timer_->stop();
    onTimeout_ = nullptr;
}

}  // namespace keyrack::platform
