#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ProtectedFile.h"

// An unlocked protected file, as the store holds it between login and lock: the key, the header
// and the slots that could not be read. Locking is ending the session and wiping the records;
// unlocking is opening a new session from the file.
namespace keyrack {

class ProtectedSession {
  public:
    // Opens file with login and fills records (element n = record n, then one all-NUL element
    // past the end, as a plain load leaves them). None, with records untouched, when the header
    // is damaged or the login is not the one the file was sealed for.
    static std::optional<ProtectedSession> Open(std::string_view file, const Credentials& login,
                                                std::vector<DataRecord>& records);
    // The same file as another program left it (another computer's change through a file-sync
    // program), opened with this session's key: no key derivation. None, with records
    // untouched, when the header is damaged or names another file.
    std::optional<ProtectedSession> Reopen(std::string_view file,
                                           std::vector<DataRecord>& records) const;
    // Like Reopen, the file read from path through files as its slots are opened; fileLength
    // is the length read. None, with records untouched, also when the read fails.
    std::optional<ProtectedSession> ReadAgain(FileIo& files, const std::string& path,
                                              long long& fileLength,
                                              std::vector<DataRecord>& records) const;

    const std::string& Header() const { return header_; }
    // Records whose slot failed its check: never shown, counted as in use, never written.
    std::vector<int> Unreadable() const;
    bool IsUnreadable(int record) const { return unreadableSlots_.count(record) > 0; }

    // Record n as its slot in the file.
    std::string Seal(int record, const DataRecord& plain) const;

    // The whole file for records 1..count: the header, each record sealed again, and each
    // unreadable slot as it was found, so that rewriting the file loses nothing.
    std::string WholeFile(const std::vector<DataRecord>& records, int count) const;

    // Takes a new header made by ChangeLogin; the key and the slots stay as they are.
    void ReplaceHeader(std::string header) { header_ = std::move(header); }

  private:
    ProtectedSession(std::string header, ProtectedKey key)
        : header_(std::move(header)), key_(std::move(key)) {}
    static ProtectedSession Opened(std::string_view file, ProtectedKey key,
                                   std::vector<DataRecord>& records);
    static ProtectedSession Opened(std::string_view file, ProtectedKey key, OpenedRecords opened,
                                   std::vector<DataRecord>& records);
    ProtectedKey CopyOfKey() const;

    std::string header_;
    ProtectedKey key_;
    std::map<int, std::string> unreadableSlots_;
};

}  // namespace keyrack
