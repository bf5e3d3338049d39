#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

namespace keyrack {

// Lets a form handle events of one of its controls with a function instead of a subclass.
// The handler returns true when the event is fully handled and the control must not see it.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return watched == parent() && handler_(event);
    }

  private:
    std::function<bool(QEvent*)> handler_;
};

}  // namespace keyrack
