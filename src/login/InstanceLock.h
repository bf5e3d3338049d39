#pragma once

#include <functional>
#include <optional>
#include <string>

// What to do when the lock file beside the data file cannot be taken. The lock names the
// process and the computer that hold the data file open (as QLockFile writes it: process id,
// program name and host name, one a line). A lock that came from another computer through a
// file-sync engine, or that nobody can read, must not keep the program out for good.
namespace keyrack {

struct LockFinding {
    enum class Kind {
        Stale,          // left by a program of this computer that is gone: take it over
        LiveHere,       // another instance on this computer holds the data file
        OtherComputer,  // computer names where the data file is said to be open
        Unreadable,     // empty, damaged or not readable
    };
    Kind kind = Kind::Stale;
    std::string computer;
};

// Whether process pid of this computer runs the named program.
using ProcessRuns = std::function<bool(long long pid, const std::string& program)>;

// content: what the lock file holds, nothing when it could not be read. thisComputer is the
// host name the lock names for this computer.
LockFinding JudgeLockFile(const std::optional<std::string>& content,
                          const std::string& thisComputer, const ProcessRuns& processRuns);

}  // namespace keyrack
