#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace keyrack::platform {

// Every question and message box of the forms goes through here, so tests can answer them.
class Prompter {
  public:
    // YesNoDefaultNo: for questions whose Yes loses data, so that Enter alone does not.
    // SaveDiscardCancel answers Yes for Save, No for Discard and Cancel for going back.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo, SaveDiscardCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Prompter() = default;
    // A modal message box; title may be empty for the program's own name.
    virtual Answer MessageBox(QWidget* parent, const QString& text, Buttons buttons,
                              const QString& title) = 0;
    // A modal input box with an empty default answer; cancelling gives empty text.
    virtual QString InputBox(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // A modal input box that tells a cancel from an empty answer; masked hides what is typed.
    virtual std::optional<QString> AskText(QWidget* parent, const QString& prompt,
                                           const QString& title, bool masked) = 0;
    // A modal file chooser for a file to write (forWriting) or to read; empty when cancelled,
    // and from a prompter that has no file chooser.
    virtual QString FileName(QWidget* /*parent*/, const QString& /*title*/, bool /*forWriting*/) {
        return {};
    }
};

class QtPrompter : public Prompter {
  public:
    Answer MessageBox(QWidget* parent, const QString& text, Buttons buttons,
                      const QString& title) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title) override;
    std::optional<QString> AskText(QWidget* parent, const QString& prompt, const QString& title,
                                   bool masked) override;
    QString FileName(QWidget* parent, const QString& title, bool forWriting) override;
};

}  // namespace keyrack::platform
