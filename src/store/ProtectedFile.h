#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/FileIo.h"
#include "store/RecordStore.h"
#include "store/SecretBytes.h"

// The protected data file: the same numbered 640-byte records as the plain file, each sealed on
// its own so that a change still rewrites one place of the file.
//
//   header (231 bytes)                      slot n at HeaderLength + (n - 1) * SlotLength
//   magic       8   89 'K' 'R' 'K' 0D 0A 1A 0A   nonce           24
//   version     2   little-endian                 sealed record  640
//   opslimit    8   Argon2id passes               tag             16
//   memlimit    8   Argon2id bytes
//   salt       16
//   file id    16   random, names the file in every slot's check
//   hint length 1, hint 100 (UTF-8, the only value in clear)
//   nonce      24   for the master key
//   master key 32 + tag 16, sealed with the key derived from the password
//
// A plain or old-format file begins with record 1's first field, which the program only ever
// leaves blank (spaces or NULs); the magic's first byte is neither, so the two cannot be taken
// for each other whatever the file's length. The header's length (231) and the slot's (680) are
// no multiple of 520 or 640 either.
//
// The master key is checked with the header's bytes before its nonce and the user name as
// associated data: a changed parameter, salt, file id or hint, a wrong password and a wrong user
// name all fail the same check, after the key derivation. The password and user name are stored
// nowhere. Each slot is checked with the file id and its record number, so a slot moved to
// another record or copied from another file fails.
namespace keyrack {

constexpr int ProtectedFormatVersion = 1;
constexpr std::size_t FileIdLength = 16;
constexpr std::size_t SaltLength = 16;
constexpr std::size_t NonceLength = 24;
constexpr std::size_t KeyLength = 32;
constexpr std::size_t TagLength = 16;
constexpr std::size_t HintCapacity = 100;
constexpr std::size_t MagicLength = 8;
constexpr std::size_t ProtectedHeaderLength = MagicLength + 2 + 8 + 8 + SaltLength + FileIdLength +
                                              1 + HintCapacity + NonceLength + KeyLength +
                                              TagLength;
constexpr std::size_t SlotLength = NonceLength + RecordLength + TagLength;

using FileId = std::array<unsigned char, FileIdLength>;

// Argon2id's cost. Stored in the header, so a later version can raise the defaults and still
// open older files.
struct KdfParams {
    std::uint64_t opsLimit = 0;
    std::uint64_t memLimit = 0;  // bytes

    // At least 64 MiB and 3 passes.
    static KdfParams Default();
    // Argon2id's least cost, for tests and the fuzzer only.
    static KdfParams Smallest();
};

struct ProtectedHeader {
    KdfParams params;
    std::array<unsigned char, SaltLength> salt{};
    FileId fileId{};
    std::string hint;  // UTF-8, at most HintCapacity bytes
    std::array<unsigned char, NonceLength> keyNonce{};
    std::array<unsigned char, KeyLength + TagLength> sealedKey{};

    std::string Serialize() const;
    // The header at the start of bytes. None when the magic or version is not this program's,
    // the costs are outside what any version writes (so a damaged header cannot make the key
    // derivation take the machine's memory), the hint is too long or bytes is too short.
    static std::optional<ProtectedHeader> Parse(std::string_view bytes);
};

// Whether the file starting with these bytes is a protected file (only the magic is looked at).
bool IsProtectedFile(std::string_view firstBytes);

struct Credentials {
    std::string userName;
    std::string password;
};

// What opens the records of one protected file.
struct ProtectedKey {
    FileId fileId{};
    SecretBytes master{KeyLength};
};

// The master key, when the header is intact and the user name and password are the ones it was
// sealed for; none otherwise, with no hint of which was wrong.
std::optional<ProtectedKey> OpenProtected(std::string_view header, const Credentials& login);

// Where record n's slot starts in the file.
long long SlotOffset(int record);

// Record n sealed into its slot with a fresh nonce.
std::string SealRecord(const ProtectedKey& key, int record, const DataRecord& plain);
// The record in a slot; none when the slot is not whole or fails its check.
std::optional<DataRecord> OpenSlot(const ProtectedKey& key, int record, std::string_view slot);

struct OpenedRecords {
    // Element n is record n; element 0 is never used. An unreadable record is left all NUL.
    std::vector<DataRecord> records = std::vector<DataRecord>(1);
    // Records whose slot failed its check or was cut: never to be shown, reused or written.
    std::vector<int> unreadable;
};

// Every slot of a whole protected file (header included); a cut last slot is unreadable.
OpenedRecords OpenSlots(const ProtectedKey& key, std::string_view file);
// A whole file's bytes, in a buffer the read fills without clearing it first.
struct ReadBytes {
    std::unique_ptr<char[]> bytes;
    std::size_t length = 0;

    std::string_view View() const { return {bytes.get(), length}; }
};

// The protected file at path read through files into content, and every slot opened as
// OpenSlots does, those read while the rest is read. Fails like FileIo::ReadAll, opening
// nothing.
IoResult ReadAndOpenSlots(FileIo& files, const std::string& path, const ProtectedKey& key,
                          ReadBytes& content, OpenedRecords& opened);

// A new protected file (header and a slot for each of records 1..records.size() - 1, element 0
// unused) holding records as they are. None when the key derivation could not have its memory.
std::optional<std::string> MakeProtectedFile(const std::vector<DataRecord>& records,
                                             const Credentials& login, const std::string& hint,
                                             const KdfParams& params);

// A header for the same file and records under a new login and hint: the master key is sealed
// again, no record changes. None when the current login does not open the header.
std::optional<std::string> ChangeLogin(std::string_view header, const Credentials& current,
                                       const Credentials& next, const std::string& hint,
                                       const KdfParams& params);

// Overwrites the decrypted records, then empties the list: for a lock or a close.
void WipeRecords(std::vector<DataRecord>& records);

}  // namespace keyrack
