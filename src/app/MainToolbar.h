#pragma once

#include <QObject>
#include <array>

class QAction;
class QMainWindow;
class QToolBar;

namespace keyrack {

// The main window's toolbar: its buttons, known by index from 1 to 17 (separators included,
// so that indexes match).
class MainToolbar : public QObject {
    Q_OBJECT

  public:
    // Buttons by index.
    enum Button {
        Exit = 2,
        New = 4,
        Edit = 5,
        Delete = 6,
        Cancel = 7,
        Save = 8,
        AddGroup = 11,
        Open = 14,
        CopyUserName = 16,
        CopyPassword = 17
    };

    explicit MainToolbar(QMainWindow& window);

    QToolBar* bar() const { return Toolbar1; }
    QAction* button(int index) const { return Toolbar1Buttons[static_cast<std::size_t>(index)]; }
    void SetEnabled(std::initializer_list<int> indexes, bool enabled);
    void ApplyCaptions();

  signals:
    void clicked(int index);

  private:
    // Drops the captions, keeping the pictures, when they do not all fit.
    void FitCaptions();
    void ChooseStyle();

    QToolBar* Toolbar1 = nullptr;
    std::array<QAction*, 18> Toolbar1Buttons = {};
    int textWidth_ = 0;
};

}  // namespace keyrack
