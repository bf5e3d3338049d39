#pragma once

#include <string>

namespace keyrack::platform {

// Whether process pid of this computer is running program (the name of its executable file).
// When the system does not tell a process's program, any running process counts.
bool ProcessRuns(long long pid, const std::string& program);

}  // namespace keyrack::platform
