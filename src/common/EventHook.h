#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <functional>

namespace keyrack {

// Lets a form handle events of one of its controls with a function instead of a subclass.
// The handler returns true when the event is fully handled and the control must not see it.
// Watching the application itself hands the handler the events of every object.
class EventHook : public QObject {
  public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
        : QObject(watched), handler_(std::move(handler)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool everything = parent() == QCoreApplication::instance();
        return (everything || watched == parent()) && handler_(event);
    }

  private:
    std::function<bool(QEvent*)> handler_;
};

}  // namespace keyrack
