#pragma once

#include <QString>

#include "platform/Prompter.h"

class QWidget;

namespace keyrack {

struct Session;

// What the main window's parts tell the user and ask: message boxes with the window's caption
// as title, through the prompter so that tests can answer them.
class Notices {
  public:
    Notices(platform::Prompter& prompter, QWidget& window, const Session& session)
        : prompter_(prompter), window_(window), session_(session) {}

    using Kind = platform::Prompter::Kind;

    // A message with only OK; a failure or a refusal says so by its kind's icon.
    void Show(const QString& text, Kind kind = Kind::Information);
    // A question; true when the answer is Yes.
    bool Confirm(const QString& text,
                 platform::Prompter::Buttons buttons = platform::Prompter::Buttons::YesNo);
    // A write to the data file failed; names the file.
    void WriteFailed();
    // A value cannot be stored as typed; names the box by its label. A protected file's only
    // limit is the field's bytes.
    void CannotStore(const QString& label, bool protectedFile = false);
    // A file other than the data file failed: the message, the path and, if known, why.
    void FileFailed(int message, const std::string& path, const std::string& reason);
    platform::Prompter& prompter() { return prompter_; }
    QWidget& window() { return window_; }

  private:
    platform::Prompter& prompter_;
    QWidget& window_;
    const Session& session_;
};

}  // namespace keyrack
