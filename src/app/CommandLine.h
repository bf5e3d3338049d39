#pragma once

#include <optional>

namespace keyrack {

// Answers --version and --help (and -v, -h) before any window exists, so that both work without
// a display. Returns the exit code when one of them was asked for; nothing when Keyrack should
// start. Other arguments are left to QApplication, which takes Qt's own options.
std::optional<int> AnswerInformationOptions(int& argc, char* argv[]);

}  // namespace keyrack
