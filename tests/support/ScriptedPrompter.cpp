#include "support/ScriptedPrompter.h"

namespace keyrack::testing {

platform::Prompter::Answer ScriptedPrompter::MessageBox(QWidget*, const QString& text,
                                                        Buttons buttons, const QString&) {
    messages.push_back({text, buttons});
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers.empty()) {
        return Answer::No;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedPrompter::InputBox(QWidget*, const QString& prompt, const QString&) {
    prompts.push_back(prompt);
    if (inputs.empty()) {
        return {};
    }
    QString answer = inputs.front();
    inputs.pop_front();
    return answer;
}

QString ScriptedPrompter::FileName(QWidget*, const QString&, bool) {
    if (fileNames.empty()) {
        return {};
    }
    QString answer = fileNames.front();
    fileNames.pop_front();
    return answer;
}

QString ScriptedPrompter::LastMessage() const {
    return messages.empty() ? QString() : messages.back().text;
}

std::uint32_t SequenceRandom::Below(std::uint32_t bound) {
    next_ = next_ * 1103515245u + 12345u;
    return (next_ >> 8) % bound;
}

}  // namespace keyrack::testing
