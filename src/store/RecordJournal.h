#pragma once

#include <optional>
#include <string>

#include "store/FileIo.h"

// A record on its way to the data file is first kept whole, with its number and a checksum, in
// a small file beside it. A write cut by a crash then leaves either an intact journal entry,
// which the next start writes again, or a damaged one, whose record never reached the file.
// The file stays from one write to the next and is overwritten in place, so a write costs two
// flushes and no change to the folder; once the record is in the data file its entry is made
// invalid without waiting for the disk, since writing it again would only repeat the same bytes.
namespace keyrack {

struct JournalEntry {
    int record = 0;
    std::string bytes;  // one whole record, or a protected file's slot
    // The data file the entry was meant for; zero when not known. A sync engine that puts a
    // newer file in place between the write and a crash gives the path another file, which the
    // old entry must not be written into.
    unsigned long long device = 0;
    unsigned long long inode = 0;
};

// The journal of a data file: its path followed by ".journal".
std::string JournalPath(const std::string& dataPath);

std::string EncodeJournalEntry(const JournalEntry& entry);
// The entry when content is one complete entry whose checksum matches; otherwise none.
std::optional<JournalEntry> DecodeJournalEntry(const std::string& content);

// Writes a complete journal entry left by an earlier run into the data file, then drops the
// journal. An incomplete entry is dropped, and so is one the file cannot have come from: a
// missing, old-format or since replaced data file, or a record beyond the one after the file's
// last. Fails,
// keeping the journal, only when it cannot be read or a complete entry could not be written.
IoResult ReplayJournal(FileIo& io, const std::string& dataPath);

// Puts entry in the journal and flushes it: in place when the journal has an entry's length,
// else in a new file.
IoResult FillJournal(FileIo& io, const std::string& dataPath, const std::string& entry);

// Makes the journal's entry invalid, without waiting for the disk.
IoResult RetireJournalEntry(FileIo& io, const std::string& dataPath);

// Drops the journal whatever it holds; fails only when it stays.
IoResult DropJournal(FileIo& io, const std::string& dataPath);

}  // namespace keyrack
