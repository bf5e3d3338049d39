#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace keyrack {

// The status bar: its first panel tells, for a few seconds, what the last command did, the
// panel's own text coming back afterwards; the other two show the date and the time.
class StatusReport : public QObject {
    Q_OBJECT

  public:
    explicit StatusReport(QStatusBar& bar);

    void Show(const QString& text);
    // The first panel's own text.
    void SetPanelText(const QString& text);
    // Shows what each of the parts reports through its reported signal.
    template <typename... Parts>
    void Follow(Parts*... parts) {
        (connect(parts, &Parts::reported, this, &StatusReport::Show), ...);
    }

  private:
    void ShowDateAndTime();

    QStatusBar& bar_;
    QLabel* panels_[3] = {};
};

}  // namespace keyrack
