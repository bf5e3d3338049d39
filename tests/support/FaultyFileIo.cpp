#include "support/FaultyFileIo.h"

#include <algorithm>

namespace keyrack::testing {

namespace {

IoResult Injected() {
    return IoResult::Failure("Input/output error");
}

IoResult DiskFull() {
    return IoResult::Failure("No space left on device");
}

}  // namespace

void FaultyFileIo::Heal() {
    failAt_.clear();
    spaceLeft_ = -1;
}

bool FaultyFileIo::Fails(FileOp op) {
    const int call = ++calls_[op];
    const auto found = failAt_.find(op);
    return found != failAt_.end() && found->second == call;
}

std::string FaultyFileIo::Fitting(const std::string& bytes) {
    if (spaceLeft_ < 0) {
        return bytes;
    }
    const auto fits = static_cast<std::size_t>(
        std::min<long long>(spaceLeft_, static_cast<long long>(bytes.size())));
    spaceLeft_ -= static_cast<long long>(fits);
    return bytes.substr(0, fits);
}

IoResult FaultyFileIo::ReadAll(const std::string& path, std::string& content) {
    if (Fails(FileOp::Read)) {
        content.clear();
        return Injected();
    }
    return SystemFileIo().ReadAll(path, content);
}

IoResult FaultyFileIo::WriteAt(const std::string& path, long long offset,
                               const std::string& bytes) {
    if (Fails(FileOp::WriteAt)) {
        return Injected();
    }
    const std::string fitting = Fitting(bytes);
    const IoResult written = SystemFileIo().WriteAt(path, offset, fitting);
    return written && fitting.size() < bytes.size() ? DiskFull() : written;
}

IoResult FaultyFileIo::CreateWith(const std::string& path, const std::string& content) {
    if (Fails(FileOp::Create)) {
        return Injected();
    }
    const std::string fitting = Fitting(content);
    const IoResult written = SystemFileIo().CreateWith(path, fitting);
    return written && fitting.size() < content.size() ? DiskFull() : written;
}

IoResult FaultyFileIo::WriteAtUnflushed(const std::string& path, long long offset,
                                        const std::string& bytes) {
    return SystemFileIo().WriteAtUnflushed(path, offset, bytes);
}

IoResult FaultyFileIo::CreateCopy(const std::string& from, const std::string& to) {
    if (Fails(FileOp::Copy)) {
        return Injected();
    }
    if (spaceLeft_ < 0) {
        return SystemFileIo().CreateCopy(from, to);
    }
    // A disk that fills up takes the bytes it has room for, however they are copied.
    std::string content;
    const IoResult read = SystemFileIo().ReadAll(from, content);
    return read ? CreateWith(to, content) : read;
}

IoResult FaultyFileIo::Resize(const std::string& path, long long length) {
    return Fails(FileOp::Resize) ? Injected() : SystemFileIo().Resize(path, length);
}

IoResult FaultyFileIo::Rename(const std::string& from, const std::string& to) {
    return Fails(FileOp::Rename) ? Injected() : SystemFileIo().Rename(from, to);
}

IoResult FaultyFileIo::Remove(const std::string& path) {
    return Fails(FileOp::Remove) ? Injected() : SystemFileIo().Remove(path);
}

FileIdentity FaultyFileIo::Identity(const std::string& path) {
    if (Fails(FileOp::Stat)) {
        FileIdentity unknown;
        unknown.unknownBecause = Injected().reason;
        return unknown;
    }
    return SystemFileIo().Identity(path);
}

IoResult FaultyFileIo::RestrictToOwner(const std::string& path) {
    return SystemFileIo().RestrictToOwner(path);
}

}  // namespace keyrack::testing
