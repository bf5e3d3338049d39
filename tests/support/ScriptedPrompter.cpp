#include "support/ScriptedPrompter.h"

namespace keyrack::testing {

namespace {

template <typename T>
T TakeFirst(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) {
        return whenEmpty;
    }
    T first = queue.front();
    queue.pop_front();
    return first;
}

}  // namespace

platform::Prompter::Answer ScriptedPrompter::MessageBox(QWidget*, const QString& text,
                                                        Buttons buttons, const QString&) {
    messages.push_back({text, buttons});
    if (whileAsking) {
        whileAsking();
    }
    return buttons == Buttons::Ok ? Answer::Ok : TakeFirst(answers, Answer::No);
}

void ScriptedPrompter::Tell(QWidget* parent, const QString& text, Kind kind, const QString& title) {
    MessageBox(parent, text, Buttons::Ok, title);
    messages.back().kind = kind;
}

QString ScriptedPrompter::InputBox(QWidget*, const QString& prompt, const QString&) {
    prompts.push_back(prompt);
    return TakeFirst(inputs, QString());
}

std::optional<QString> ScriptedPrompter::AskText(QWidget*, const QString& prompt, const QString&,
                                                 bool masked) {
    prompts.push_back(prompt);
    if (masked) {
        maskedPrompts.push_back(prompt);
    }
    const QString answer = TakeFirst(inputs, Cancel);
    return answer == Cancel ? std::nullopt : std::optional<QString>(answer);
}

QString ScriptedPrompter::FileName(QWidget*, const QString&, bool) {
    return TakeFirst(fileNames, QString());
}

QString ScriptedPrompter::LastMessage() const {
    return messages.empty() ? QString() : messages.back().text;
}

std::uint32_t SequenceRandom::Below(std::uint32_t bound) {
    next_ = next_ * 1103515245u + 12345u;
    return (next_ >> 8) % bound;
}

}  // namespace keyrack::testing
