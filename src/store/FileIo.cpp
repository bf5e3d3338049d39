#include "store/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/RandomSource.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace keyrack {

namespace {

constexpr int kTemporaryNameAttempts = 16;

// path, a dot and six random letters and digits, like the names temporary-file routines make.
std::string TemporaryNameBeside(const std::string& path) {
    static const char kCharacters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = path + ".";
    for (int i = 0; i < 6; ++i) {
        name += kCharacters[platform::SystemRandom().Below(sizeof kCharacters - 1)];
    }
    return name;
}

#ifdef _WIN32
constexpr int kBinary = O_BINARY;
int FlushFile(int fd) {
    return _commit(fd);
}
int FlushData(int fd) {
    return _commit(fd);
}
#else
constexpr int kBinary = 0;
int FlushFile(int fd) {
    return fsync(fd);
}
// The bytes and what reading them back needs (the length), not the file's times: enough for a
// write in place, and it spares the file system a metadata commit per record.
int FlushData(int fd) {
#ifdef __linux__
    return fdatasync(fd);
#else
    return fsync(fd);
#endif
}
#endif

constexpr int kOwnerOnly = 0600;

// Closes the descriptor when it goes out of scope; Close() reports the close's own failure,
// which on some file systems is where a full disk first shows.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

IoResult WriteFully(int fd, const char* data, std::size_t size, long long offset) {
#ifdef _WIN32
    if (_lseeki64(fd, offset, SEEK_SET) != offset) {
        return IoResult::FromErrno();
    }
#endif
    while (size > 0) {
#ifdef _WIN32
        const int written = _write(fd, data, static_cast<unsigned>(size));
#else
        const ssize_t written = pwrite(fd, data, size, static_cast<off_t>(offset));
#endif
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written == 0 ? IoResult::Failure(std::strerror(ENOSPC)) : IoResult::FromErrno();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return IoResult::Success();
}

IoResult FlushAndClose(Descriptor& file, int (*flush)(int) = FlushFile) {
    if (flush(file.get()) != 0) {
        return IoResult::FromErrno();
    }
    return file.Close() ? IoResult::Success() : IoResult::FromErrno();
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// What one read asks for when the reader takes the file in pieces: small enough for the first
// piece to arrive soon, large enough for the calls to cost nothing beside the copying.
constexpr std::size_t kPieceLength = std::size_t{1} << 20;

// The length of a file just opened; fails as its opening did when it is not open.
IoResult OpenedLength(const Descriptor& file, std::size_t& length) {
    struct stat info {};
    if (!file.IsOpen() || fstat(file.get(), &info) != 0) {
        return IoResult::FromErrno();
    }
    length = static_cast<std::size_t>(info.st_size);
    return IoResult::Success();
}

// Reads count bytes into buffer, asking for at most step at a time; arrived, when given, is
// told the count read after each.
IoResult ReadExactly(const Descriptor& file, char* buffer, std::size_t count, std::size_t step,
                     const std::function<void(std::size_t read)>& arrived = nullptr) {
    std::size_t have = 0;
    while (have < count) {
        const std::size_t asked = std::min(count - have, step);
        const auto got = ::read(file.get(), buffer + have, static_cast<unsigned>(asked));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? IoResult::Failure("the file ended early") : IoResult::FromErrno();
        }
        have += static_cast<std::size_t>(got);
        if (arrived) {
            arrived(have);
        }
    }
    return IoResult::Success();
}

// Reads the first bytes of the file, at most limit of them, into the buffer place gives
// for the file's length when opened and the count to read; in pieces when arrived is given,
// told the count read after each.
IoResult ReadFront(const std::string& path, std::size_t limit,
                   const std::function<char*(long long fileLength, std::size_t count)>& place,
                   const std::function<void(std::size_t read)>& arrived = nullptr) {
    Descriptor file(::open(path.c_str(), O_RDONLY | kBinary));
    std::size_t length = 0;
    if (const IoResult opened = OpenedLength(file, length); !opened) {
        return opened;
    }
    const auto expected = std::min(length, limit);
    char* buffer = place(static_cast<long long>(length), expected);
    return ReadExactly(file, buffer, expected, arrived ? kPieceLength : expected, arrived);
}

class SystemFiles : public FileIo {
  public:
    IoResult ReadAll(const std::string& path, std::string& content) override {
        long long fileLength = 0;
        return ReadStart(path, std::string::npos, content, fileLength);
    }

    IoResult ReadStart(const std::string& path, std::size_t length, std::string& content,
                       long long& fileLength) override {
        content.clear();
        const IoResult read = ReadFront(path, length, [&](long long whole, std::size_t count) {
            fileLength = whole;
            content.resize(count);
            return content.data();
        });
        if (!read) {
            content.clear();
        }
        return read;
    }

    IoResult ReadInto(const std::string& path,
                      const std::function<char*(std::size_t length)>& place) override {
        return ReadFront(path, std::string::npos,
                         [&](long long, std::size_t count) { return place(count); });
    }

    IoResult ReadPieces(const std::string& path, std::size_t pieceLength,
                        const std::function<void(std::string_view piece)>& take) override {
        Descriptor file(::open(path.c_str(), O_RDONLY | kBinary));
        std::size_t left = 0;
        if (const IoResult opened = OpenedLength(file, left); !opened) {
            return opened;
        }
        // One buffer, small enough to stay in the processor's cache while it is looked at.
        std::string piece(std::min(left, pieceLength), '\0');
        while (left > 0) {
            const std::size_t wanted = std::min(left, pieceLength);
            if (const IoResult read = ReadExactly(file, piece.data(), wanted, wanted); !read) {
                return read;
            }
            take(std::string_view(piece.data(), wanted));
            left -= wanted;
        }
        return IoResult::Success();
    }

    IoResult ReadIntoInPieces(const std::string& path,
                              const std::function<char*(std::size_t length)>& place,
                              const std::function<void(std::size_t read)>& arrived) override {
        return ReadFront(
            path, std::string::npos, [&](long long, std::size_t count) { return place(count); },
            arrived);
    }

    IoResult WriteAt(const std::string& path, long long offset, const std::string& bytes) override {
        return WriteInPlace(path, offset, bytes, true);
    }

    IoResult WriteAtUnflushed(const std::string& path, long long offset,
                              const std::string& bytes) override {
        return WriteInPlace(path, offset, bytes, false);
    }

    IoResult CreateCopy(const std::string& from, const std::string& to) override {
#ifndef __linux__
        (void)from;
        (void)to;
        return IoResult::Failure("the system cannot copy the file by itself");
#else
        Descriptor source(::open(from.c_str(), O_RDONLY));
        if (!source.IsOpen()) {
            return IoResult::FromErrno();
        }
        Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, kOwnerOnly));
        if (!target.IsOpen()) {
            return IoResult::FromErrno();
        }
        struct stat info {};
        if (fstat(source.get(), &info) != 0) {
            return IoResult::FromErrno();
        }
        // The source's length when it was opened, like ReadAll: a copy is never shorter.
        auto left = static_cast<std::size_t>(info.st_size);
        while (left > 0) {
            const ssize_t copied =
                copy_file_range(source.get(), nullptr, target.get(), nullptr, left, 0);
            if (copied < 0 && errno == EINTR) {
                continue;
            }
            if (copied <= 0) {
                return copied == 0 ? IoResult::Failure("the file ended early")
                                   : IoResult::FromErrno();
            }
            left -= static_cast<std::size_t>(copied);
        }
        return FlushAndClose(target);
#endif
    }

    IoResult CreateWith(const std::string& path, std::string_view content) override {
        Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | kBinary, kOwnerOnly));
        if (!file.IsOpen()) {
            return IoResult::FromErrno();
        }
        const IoResult written = WriteFully(file.get(), content.data(), content.size(), 0);
        if (!written) {
            return written;
        }
        return FlushAndClose(file);
    }

    IoResult Resize(const std::string& path, long long length) override {
        Descriptor file(::open(path.c_str(), O_WRONLY | kBinary));
        if (!file.IsOpen()) {
            return IoResult::FromErrno();
        }
#ifdef _WIN32
        const bool resized = _chsize_s(file.get(), length) == 0;
#else
        const bool resized = ftruncate(file.get(), static_cast<off_t>(length)) == 0;
#endif
        if (!resized) {
            return IoResult::FromErrno();
        }
        return FlushAndClose(file);
    }

    IoResult Rename(const std::string& from, const std::string& to) override {
#ifdef _WIN32
        if (!MoveFileExA(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return IoResult::Failure("the file could not be renamed");
        }
        return IoResult::Success();
#else
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            return IoResult::FromErrno();
        }
        // The rename itself reaches stable storage only with its folder.
        Descriptor folder(::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY));
        if (folder.IsOpen()) {
            fsync(folder.get());
        }
        return IoResult::Success();
#endif
    }

    IoResult Remove(const std::string& path) override {
        if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
            return IoResult::FromErrno();
        }
        return IoResult::Success();
    }

    FileIdentity Identity(const std::string& path) override {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            FileIdentity missing;
            if (errno != ENOENT && errno != ENOTDIR) {
                missing.unknownBecause = std::strerror(errno);
            }
            return missing;
        }
#ifdef _WIN32
        const long long modified = static_cast<long long>(info.st_mtime) * 1000000000LL;
#else
        const long long modified =
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
#endif
        return {static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino),
                true,
                static_cast<long long>(info.st_size),
                modified,
                {}};
    }

    IoResult RestrictToOwner(const std::string& path) override {
#ifdef _WIN32
        (void)path;
        return IoResult::Success();
#else
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            return IoResult::FromErrno();
        }
        if ((info.st_mode & 077) == 0) {
            return IoResult::Success();
        }
        return chmod(path.c_str(), info.st_mode & 0700) == 0 ? IoResult::Success()
                                                             : IoResult::FromErrno();
#endif
    }

  private:
    // Flushed, the bytes are on the disk when it returns; unflushed, only in the system's cache.
    static IoResult WriteInPlace(const std::string& path, long long offset,
                                 const std::string& bytes, bool flush) {
        Descriptor file(::open(path.c_str(), O_WRONLY | kBinary));
        if (!file.IsOpen()) {
            return IoResult::FromErrno();
        }
        const IoResult written = WriteFully(file.get(), bytes.data(), bytes.size(), offset);
        if (!written) {
            return written;
        }
        if (flush) {
            return FlushAndClose(file, FlushData);
        }
        return file.Close() ? IoResult::Success() : IoResult::FromErrno();
    }
};

}  // namespace

IoResult FileIo::ReadPieces(const std::string& path, std::size_t pieceLength,
                            const std::function<void(std::string_view piece)>& take) {
    std::string content;
    if (IoResult read = ReadAll(path, content); !read) {
        return read;
    }
    for (std::size_t at = 0; at < content.size(); at += pieceLength) {
        take(std::string_view(content).substr(at, pieceLength));
    }
    return IoResult::Success();
}

IoResult IoResult::FromErrno() {
    return Failure(std::strerror(errno));
}

IoResult FileIo::ReadIntoInPieces(const std::string& path,
                                  const std::function<char*(std::size_t length)>& place,
                                  const std::function<void(std::size_t read)>& arrived) {
    std::size_t whole = 0;
    const IoResult read = ReadInto(path, [&](std::size_t length) {
        whole = length;
        return place(length);
    });
    if (read) {
        arrived(whole);
    }
    return read;
}

FileIo& SystemFileIo() {
    static SystemFiles files;
    return files;
}

namespace {

// Makes the file at path by filling a temporary file beside it and renaming that over it, so
// the old file stays whole until the new one is. The folder may be the user's own: a name
// already in use is passed over, never removed.
IoResult FillBesideThenRename(FileIo& io, const std::string& path,
                              const std::function<IoResult(const std::string&)>& fill) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::string temporary = TemporaryNameBeside(path);
        if (io.Exists(temporary)) {
            continue;
        }
        IoResult result = fill(temporary);
        if (result) {
            result = io.Rename(temporary, path);
        }
        if (!result) {
            io.Remove(temporary);
        }
        return result;
    }
    return IoResult::Failure("no free name for a temporary file beside " + path);
}

}  // namespace

IoResult ReplaceWhole(FileIo& io, const std::string& path, std::string_view content) {
    return FillBesideThenRename(
        io, path, [&](const std::string& temporary) { return io.CreateWith(temporary, content); });
}

IoResult CopyWhole(FileIo& io, const std::string& from, const std::string& to) {
    return FillBesideThenRename(io, to, [&](const std::string& temporary) {
        IoResult result = io.CreateCopy(from, temporary);
        if (!result) {
            // File systems and systems that cannot copy by themselves get the bytes the long way.
            io.Remove(temporary);
            std::string content;
            result = io.ReadAll(from, content);
            if (result) {
                result = io.CreateWith(temporary, content);
            }
        }
        return result;
    });
}

}  // namespace keyrack
