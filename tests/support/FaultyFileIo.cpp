#include "support/FaultyFileIo.h"

#include <algorithm>

namespace keyrack::testing {

bool FaultyFileIo::Fails(FileOp op) {
    const int call = ++calls_[op];
    const auto found = failAt_.find(op);
    return found != failAt_.end() && found->second == call;
}

IoResult FaultyFileIo::WriteFitting(const std::string& bytes,
                                    const std::function<IoResult(const std::string&)>& write) {
    const std::size_t fits =
        spaceLeft_ < 0 ? bytes.size() : std::min<std::size_t>(spaceLeft_, bytes.size());
    spaceLeft_ -= spaceLeft_ < 0 ? 0 : static_cast<long long>(fits);
    const IoResult written = write(bytes.substr(0, fits));
    return written && fits < bytes.size() ? IoResult::Failure("No space left on device") : written;
}

IoResult FaultyFileIo::WriteAt(const std::string& path, long long offset,
                               const std::string& bytes) {
    return Fails(FileOp::WriteAt) ? Injected() : WriteFitting(bytes, [&](const std::string& part) {
        return SystemFileIo().WriteAt(path, offset, part);
    });
}

IoResult FaultyFileIo::CreateWith(const std::string& path, std::string_view content) {
    return Fails(FileOp::Create) ? Injected()
                                 : WriteFitting(std::string(content), [&](const std::string& part) {
                                       return SystemFileIo().CreateWith(path, part);
                                   });
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

FileIdentity FaultyFileIo::Identity(const std::string& path) {
    if (Fails(FileOp::Stat)) {
        FileIdentity unknown;
        unknown.unknownBecause = Injected().reason;
        return unknown;
    }
    return SystemFileIo().Identity(path);
}

}  // namespace keyrack::testing
