#pragma once

#include <functional>
#include <string>
#include <string_view>

// Every read, write and copy of the program's files goes through FileIo, so that a test can make
// any step fail the way a disk does: a full disk halfway through a write, a missing file, a short
// read. The system implementation is the only one the program uses.
namespace keyrack {

// The outcome of a file operation; a failure carries the operating system's reason, for the user.
struct IoResult {
    bool ok = true;
    std::string reason;

    static IoResult Success() { return {}; }
    static IoResult Failure(std::string why) { return {false, std::move(why)}; }
    // A failure with the text of the current errno.
    static IoResult FromErrno();
    explicit operator bool() const { return ok; }
};

// Tells whether a path still names the file that was opened earlier (it was not deleted or
// replaced meanwhile).
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool exists = false;

    // Length and time of the last change, to tell a file rewritten in place by another
    // program; they take no part in the comparison of identities.
    long long length = 0;
    long long modified = 0;

    // Set when the system could not tell whether the file exists (anything but "no such
    // file"): exists is then false, yet the file may well be there.
    std::string unknownBecause;

    bool operator==(const FileIdentity& other) const {
        return exists == other.exists && device == other.device && inode == other.inode;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
    // The same file, not changed since this identity was taken.
    bool Unchanged(const FileIdentity& other) const {
        return *this == other && length == other.length && modified == other.modified;
    }
};

class FileIo {
  public:
    virtual ~FileIo() = default;

    // The whole file. Fails when it cannot be opened, or when a read fails or ends before the
    // length the file had when it was opened; content is then left empty.
    virtual IoResult ReadAll(const std::string& path, std::string& content) = 0;
    // The first length bytes of the file, or all of it when it is shorter, and the length the
    // file had when it was opened; fails like ReadAll.
    virtual IoResult ReadStart(const std::string& path, std::size_t length, std::string& content,
                               long long& fileLength) = 0;
    // The whole file into the buffer place gives for the length it has when opened, so that a
    // reader keeps the bytes where they belong without a second copy; fails like ReadAll,
    // leaving whatever part was read.
    virtual IoResult ReadInto(const std::string& path,
                              const std::function<char*(std::size_t length)>& place) = 0;
    // The whole file handed to take in order, in pieces of pieceLength bytes (the last may be
    // shorter), so that a reader that keeps little of it never holds it all; fails like ReadAll.
    // By default the file is read whole first; the system's files read one piece at a time.
    virtual IoResult ReadPieces(const std::string& path, std::size_t pieceLength,
                                const std::function<void(std::string_view piece)>& take);
    // Like ReadInto, telling arrived how many bytes from the start are in the buffer as the read
    // goes on, so that a reader can work on the first part while the rest is read. A file that
    // cannot be read in pieces arrives whole.
    virtual IoResult ReadIntoInPieces(const std::string& path,
                                      const std::function<char*(std::size_t length)>& place,
                                      const std::function<void(std::size_t read)>& arrived);
    // Writes bytes at offset into an existing file and flushes them to stable storage. Never
    // creates the file. A failure may leave part of the bytes written.
    virtual IoResult WriteAt(const std::string& path, long long offset,
                             const std::string& bytes) = 0;
    // Like WriteAt, but returns without waiting for stable storage: only for bytes whose loss
    // in a crash does no harm.
    virtual IoResult WriteAtUnflushed(const std::string& path, long long offset,
                                      const std::string& bytes) = 0;
    // Creates a file that must not exist yet, readable and writable by its owner only, writes
    // content and flushes it to stable storage. A failure may leave a partial file behind.
    virtual IoResult CreateWith(const std::string& path, std::string_view content) = 0;
    // Creates `to`, which must not exist yet, owner-only, with the content of `from` copied by
    // the system without passing through the program, and flushes it. Fails where the system
    // cannot copy that way; a failure may leave a partial file behind.
    virtual IoResult CreateCopy(const std::string& from, const std::string& to) = 0;
    // Cuts or extends an existing file to length, flushed.
    virtual IoResult Resize(const std::string& path, long long length) = 0;
    // Renames from over to in one step and flushes the folder, so that after a crash `to` is
    // either the old file or the new one.
    virtual IoResult Rename(const std::string& from, const std::string& to) = 0;
    // Removing a file that does not exist succeeds.
    virtual IoResult Remove(const std::string& path) = 0;
    virtual FileIdentity Identity(const std::string& path) = 0;
    // Takes group and other permissions away from an existing file.
    virtual IoResult RestrictToOwner(const std::string& path) = 0;

    bool Exists(const std::string& path) { return Identity(path).exists; }
};

// The operating system's files.
FileIo& SystemFileIo();

// Replaces path by content atomically: a temporary file of a new random name in the same folder
// is written, flushed and renamed over path. On failure path is as it was and the temporary file
// is gone; no other file of the folder is touched.
IoResult ReplaceWhole(FileIo& io, const std::string& path, std::string_view content);

// Copies from over to through a temporary file renamed into place, like ReplaceWhole: `to` is
// the old file or a complete copy, never a part. The system copies the bytes where it can;
// elsewhere they are read and written again.
IoResult CopyWhole(FileIo& io, const std::string& from, const std::string& to);

}  // namespace keyrack
