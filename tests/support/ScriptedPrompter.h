#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/RandomSource.h"

namespace keyrack::testing {

// Answers the forms' questions from a script and remembers what was shown.
class ScriptedPrompter : public platform::Prompter {
  public:
    struct Shown {
        QString text;
        Buttons buttons;
        Kind kind = Kind::Information;
    };

    // An answer in inputs that cancels a box which tells a cancel from an empty answer.
    static inline const QString Cancel = QStringLiteral("<cancel>");

    std::deque<QString> inputs;          // answers to input boxes, in order; empty when run out
    std::deque<Answer> answers;          // answers to Yes/No boxes; No when run out
    std::vector<Shown> messages;         // every message box shown
    std::vector<QString> prompts;        // every input box prompt shown
    std::vector<QString> maskedPrompts;  // the prompts of boxes that hid what was typed
    // Answers to file choosers, in order; cancelled when run out.
    std::deque<QString> fileNames;
    // Runs while a message box is open, before it is answered.
    std::function<void()> whileAsking;

    Answer MessageBox(QWidget* parent, const QString& text, Buttons buttons,
                      const QString& title) override;
    void Tell(QWidget* parent, const QString& text, Kind kind, const QString& title) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title) override;
    // Cancelled when inputs run out.
    std::optional<QString> AskText(QWidget* parent, const QString& prompt, const QString& title,
                                   bool masked) override;
    QString FileName(QWidget* parent, const QString& title, bool forWriting) override;

    // Text of the last message box, empty when none was shown.
    QString LastMessage() const;
};

// A repeatable stand-in for the system's random generator.
class SequenceRandom : public platform::RandomSource {
  public:
    std::uint32_t Below(std::uint32_t bound) override;

  private:
    std::uint32_t next_ = 7;
};

class FixedClock : public platform::Clock {
  public:
    CivilDateTime now{2026, 12, 6, 10, 30, 0};
    long long monotonic = 0;
    CivilDateTime Now() const override { return now; }
    long long MonotonicMilliseconds() const override { return monotonic; }
};

}  // namespace keyrack::testing
