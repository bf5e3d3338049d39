#pragma once

#include <functional>
#include <map>

#include "store/FileIo.h"

namespace keyrack::testing {

enum class FileOp { Read, WriteAt, Create, Copy, Resize, Rename, Remove, Stat };

// The system's files, with the faults a disk shows on demand: an operation that fails, a read
// that fails partway, a disk that fills up in the middle of a write.
class FaultyFileIo : public FileIo {
  public:
    // The nth call of op from now on (1 = the next one) fails and changes nothing.
    void FailOn(FileOp op, int nth = 1) { failAt_[op] = calls_[op] + nth; }
    // Writes and creates stop after this many more bytes and fail with "no space"; the bytes
    // before that reach the file. Negative: the disk never fills.
    void FillDiskAfter(long long bytes) { spaceLeft_ = bytes; }
    // Every fault set so far is forgotten.
    void Heal() {
        failAt_.clear();
        spaceLeft_ = -1;
    }

    IoResult ReadAll(const std::string& path, std::string& content) override {
        content.clear();
        return Fails(FileOp::Read) ? Injected() : SystemFileIo().ReadAll(path, content);
    }
    IoResult ReadStart(const std::string& path, std::size_t length, std::string& content,
                       long long& fileLength) override {
        content.clear();
        return Fails(FileOp::Read) ? Injected()
                                   : SystemFileIo().ReadStart(path, length, content, fileLength);
    }
    IoResult ReadInto(const std::string& path,
                      const std::function<char*(std::size_t length)>& place) override {
        return Fails(FileOp::Read) ? Injected() : SystemFileIo().ReadInto(path, place);
    }
    IoResult WriteAt(const std::string& path, long long offset, const std::string& bytes) override;
    // Never fails: what it writes may be lost without harm.
    IoResult WriteAtUnflushed(const std::string& path, long long offset,
                              const std::string& bytes) override {
        return SystemFileIo().WriteAtUnflushed(path, offset, bytes);
    }
    IoResult CreateWith(const std::string& path, std::string_view content) override;
    IoResult CreateCopy(const std::string& from, const std::string& to) override;
    IoResult Resize(const std::string& path, long long length) override {
        return Fails(FileOp::Resize) ? Injected() : SystemFileIo().Resize(path, length);
    }
    IoResult Rename(const std::string& from, const std::string& to) override {
        return Fails(FileOp::Rename) ? Injected() : SystemFileIo().Rename(from, to);
    }
    IoResult Remove(const std::string& path) override {
        return Fails(FileOp::Remove) ? Injected() : SystemFileIo().Remove(path);
    }
    FileIdentity Identity(const std::string& path) override;
    IoResult RestrictToOwner(const std::string& path) override {
        return SystemFileIo().RestrictToOwner(path);
    }

  private:
    static IoResult Injected() { return IoResult::Failure("Input/output error"); }
    // Counts the call; true when it is the one set to fail.
    bool Fails(FileOp op);
    // Writes the part of bytes that still fits on the disk and uses up the space; fails as a
    // full disk does when that is not all of them.
    IoResult WriteFitting(const std::string& bytes,
                          const std::function<IoResult(const std::string&)>& write);

    std::map<FileOp, int> calls_;
    std::map<FileOp, int> failAt_;
    long long spaceLeft_ = -1;
};

}  // namespace keyrack::testing
