#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "store/EntryRecord.h"

class QEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace keyrack {

class Notices;
class RecordStore;
class SecretClipboard;
struct Session;
namespace platform {
class Clipboard;
class Desktop;
class OneShotTimer;
class RandomSource;
}  // namespace platform

// The four boxes of the shown entry with their labels, the eye button that shows the password,
// Generate and Change Type for the password's settings, and what the toolbar does with the
// boxes: copying the credentials and opening the address.
class DetailsPane : public QObject {
    Q_OBJECT

  public:
    // Left null, the pane uses the system's own.
    struct Services {
        platform::Clipboard* clipboard;
        platform::OneShotTimer* clipboardTimer;
        platform::Desktop* desktop;
        platform::RandomSource& random;
    };

    DetailsPane(Session& session, RecordStore& store, Notices& notices, Services services,
                QWidget* area);
    ~DetailsPane() override;

    // The column of labels, boxes and buttons, for the window's layout.
    QLayout* column() const { return column_; }
    void ApplyCaptions();

    // Puts the selection's entry into the boxes and its settings into the session; a group or
    // nothing empties the boxes.
    void ShowSelected();
    void DisplayPWType();
    void Clear();
    // While the window is locked the boxes and the type label hold no text (an edit in progress
    // is kept in memory only); Reveal puts the texts back.
    void Conceal();
    void Reveal();
    // Editable in NEW and EDIT; otherwise read-only, not disabled, so the text stays readable
    // and selectable and Tab still reaches each box.
    void SetBoxesEditable(bool editable);
    // Follows the session's edit mode: buttons, password shown in clear, focus.
    void FollowEditMode();
    // The boxes' values as stored, or nothing, after telling the user and putting the focus
    // on the box at fault, when one cannot be stored.
    std::optional<EntryValues> TakeValues();

    void CopyUserName();
    void CopyPassword();
    void OpenAddress();
    // Empties the clipboard when it holds what the window copied.
    void ForgetCopy();

  private:
    QWidget* BuildPasswordRow(QWidget* area);
    void ShowPasswordForMode();
    // Outlines a box whose value cannot be saved and says in its tooltip how much fits.
    void FlagUnfittingValue(QWidget* box, EntryBox which, const QString& text);
    void Text1_LostFocus();
    // Handles every drag and drop event of Text2; returns true when the box must not see it.
    bool Text2_OLEDragDrop(QEvent* event);
    void Command6_Click();
    void Command8_Click();

    Session& session_;
    RecordStore& store_;
    Notices& notices_;
    std::unique_ptr<platform::Clipboard> systemClipboard_;
    std::unique_ptr<platform::OneShotTimer> systemClipboardTimer_;
    std::unique_ptr<platform::Desktop> systemDesktop_;
    platform::Desktop& desktop_;
    platform::RandomSource& random_;
    // Goes before the clipboard and timer it uses.
    std::unique_ptr<SecretClipboard> clipboard_;
    QLayout* column_ = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    // Shows the password in clear while browsing; in NEW and EDIT it is always in clear.
    QToolButton* showPassword_ = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command8 = nullptr;
    // Event handlers on the boxes; they go before the boxes do.
    std::vector<QObject*> eventHooks_;
    // Title, address, password, user name and type label while concealed.
    std::array<QString, 5> concealed_;
};

}  // namespace keyrack
