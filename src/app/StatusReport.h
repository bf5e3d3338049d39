#pragma once

#include <QObject>
#include <QString>

class QStatusBar;

namespace keyrack {

// The status bar's first panel tells, for a few seconds, what the last command did; the panel's
// own text comes back afterwards.
class StatusReport : public QObject {
    Q_OBJECT

  public:
    explicit StatusReport(QStatusBar& bar);

    void Show(const QString& text);
    // Shows what each of the parts reports through its reported signal.
    template <typename... Parts>
    void Follow(Parts*... parts) {
        (connect(parts, &Parts::reported, this, &StatusReport::Show), ...);
    }

  private:
    QStatusBar& bar_;
};

}  // namespace keyrack
