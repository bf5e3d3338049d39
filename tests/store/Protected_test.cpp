#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/Utf8.h"
#include "store/FieldFit.h"
#include "store/ProtectedFile.h"
#include "store/ProtectedRecord.h"
#include "store/RecordJournal.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

const Credentials kLogin{"anna", "correct horse"};

std::string Repeat(const std::string& text, int times) {
    return times == 0 ? "" : text + Repeat(text, times - 1);
}

// 100 bytes each: Greek and Cyrillic letters take two, an emoji four.
const std::string kTitle = Repeat("\xCE\xBB", 50);
const std::string kAddress = Repeat("\xD0\x96", 50);
const std::string kEmoji = Repeat("\xF0\x9F\x94\x91", 25);

std::vector<DataRecord> SampleRecords() {
    std::vector<DataRecord> records(5);
    SetProtectedField(records[1], 6, "2");
    const FieldValues entry =
        ProtectedEntryFields({kTitle, kAddress, kEmoji, " pw ", {}}, "K4", 3, "K4");
    const FieldValues group = ProtectedGroupFields("Work", 4, "");
    for (int field = 1; field <= FieldCount; ++field) {
        SetProtectedField(records[3], field, entry[field - 1]);
        SetProtectedField(records[4], field, group[field - 1]);
    }
    return records;
}

std::string SampleFile(const Credentials& login = kLogin) {
    return *MakeProtectedFile(SampleRecords(), login, "my hint", KdfParams::Smallest());
}

bool SameRecords(const std::vector<DataRecord>& a, const std::vector<DataRecord>& b) {
    return std::equal(a.begin() + 1, a.end(), b.begin() + 1, b.end(),
                      [](const DataRecord& x, const DataRecord& y) { return x.bytes == y.bytes; });
}

TEST(ProtectedFile, OpensOnlyWithTheRightUserNameAndPasswordAndTheChangedOne) {
    const std::string file = SampleFile();
    ASSERT_TRUE(IsProtectedFile(file));
    EXPECT_EQ(ProtectedHeader::Parse(file)->hint, "my hint");
    const std::pair<Credentials, bool> cases[] = {{kLogin, true},
                                                  {{"anna", "correct horsE"}, false},
                                                  {{"Anna", "correct horse"}, false},
                                                  {{"VaultLocker", "VaultLocker"}, false}};
    for (const auto& [login, opens] : cases) {
        EXPECT_EQ(OpenProtected(file, login).has_value(), opens) << login.userName;
    }
    const std::optional<ProtectedKey> key = OpenProtected(file, kLogin);
    const OpenedRecords opened = OpenSlots(*key, file);
    EXPECT_TRUE(opened.unreadable.empty());
    EXPECT_TRUE(SameRecords(opened.records, SampleRecords()));
    // A changed login reseals only the master key: the slots stay as they are.
    const Credentials next{"Ἀννα", "new words"};
    const std::string header = *ChangeLogin(file, kLogin, next, "ἄλλο", KdfParams::Smallest());
    const std::string changed = header + file.substr(ProtectedHeaderLength);
    EXPECT_FALSE(ChangeLogin(file, next, kLogin, "", KdfParams::Smallest()).has_value());
    EXPECT_FALSE(OpenProtected(changed, kLogin).has_value());
    const std::optional<ProtectedKey> nextKey = OpenProtected(changed, next);
    ASSERT_TRUE(nextKey.has_value());
    EXPECT_TRUE(SameRecords(OpenSlots(*nextKey, changed).records, SampleRecords()));
    EXPECT_EQ(ProtectedHeader::Parse(changed)->hint, "ἄλλο");
}

// Any changed byte: in the header nothing opens, in a slot that one record alone is unreadable;
// slots out of place, from another file or cut are unreadable too.
TEST(ProtectedFile, EveryChangedByteAndMisplacedSlotIsFound) {
    const std::string file = SampleFile();
    const std::string other = SampleFile();
    const auto slot = [](const std::string& from, int n) {
        return from.substr(static_cast<std::size_t>(SlotOffset(n)), SlotLength);
    };
    const auto flipped = [&file](std::size_t at) {
        return file.substr(0, at) + static_cast<char>(file[at] ^ 0x41) + file.substr(at + 1);
    };
    std::vector<std::pair<std::string, std::vector<int>>> cases = {
        {file.substr(0, SlotOffset(3)) + slot(file, 4) + slot(file, 3), {3, 4}},
        {file.substr(0, SlotOffset(3)) + slot(other, 3) + slot(file, 4), {3}},
        {file.substr(0, file.size() - 1), {4}},
        {file + slot(file, 4), {5}}};
    for (std::size_t at = ProtectedHeaderLength; at < file.size(); ++at) {
        cases.push_back({flipped(at), {int((at - ProtectedHeaderLength) / SlotLength) + 1}});
    }
    const std::optional<ProtectedKey> key = OpenProtected(file, kLogin);
    for (const auto& [changed, unreadable] : cases) {
        EXPECT_EQ(OpenSlots(*key, changed).unreadable, unreadable);
    }
    for (std::size_t at = 0; at < ProtectedHeaderLength; ++at) {
        EXPECT_FALSE(OpenProtected(flipped(at), kLogin).has_value()) << at;
    }
    EXPECT_FALSE(OpenProtected(file.substr(0, ProtectedHeaderLength - 1), kLogin).has_value());
}

TEST(ProtectedRecord, ValuesFitByTheOpenFilesRule) {
    const std::tuple<FileKind, std::string, bool> cases[] = {
        {FileKind::Protected, kTitle, true},
        {FileKind::Protected, kAddress + "a", false},
        {FileKind::Protected, "\xCE", false},
        {FileKind::Protected, std::string("a\0b", 3), false},
        // The plain rule itself is the cipher's; here only that a plain file keeps it.
        {FileKind::Plain, Repeat("a", 34), false}};
    for (const auto& [kind, value, fits] : cases) {
        EXPECT_EQ(ValueFits(kind, value, 1, 40), fits) << value;
    }
    EXPECT_EQ(FirstUnfittingBox(FileKind::Protected, {kTitle, "", "", kEmoji + "!", {}}, 40),
              EntryBox::Password);
    // What a box says fits is counted in characters: fifty two-byte letters fill the field.
    const FieldFit fit = JudgeFieldFit(FileKind::Protected, kTitle + "x", 1, 40);
    EXPECT_EQ(std::pair(fit.keeps, fit.has), std::pair(50, 51));
}

TEST(ProtectedRecord, PlainRecordsTurnIntoUtf8WithoutTheLoginOrKey) {
    std::vector<DataRecord> plain(4);
    plain[1].SetField(5, EncodeValue("40", LoginKey, true, 100));
    plain[1].SetField(6, "1");
    plain[2].SetField(3, EncodeValue("anna", LoginKey, true, 100));
    plain[2].SetField(5, EncodeValue("Y|7", 40, false, 0));
    plain[3].SetField(1, EncodeValue("Caf\xE9 \x80", 40, true, 100));
    const std::vector<DataRecord> converted = ProtectedFormOfPlainRecords(plain, 40);
    EXPECT_EQ(ProtectedField(converted[1], 5), "");
    EXPECT_EQ(ProtectedField(converted[1], 6), "1");
    EXPECT_EQ(ProtectedField(converted[2], 3), "");
    EXPECT_EQ(ProtectedField(converted[2], 5), "Y|7");
    EXPECT_EQ(ProtectedField(converted[3], 1), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(ProtectedField(converted[3], 2), "");
}

class ProtectedStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::WriteBytes(path_, SampleFile()); }
    bool Reopen() {
        return store_.LoadDataFile(path_).status == LoadResult::Status::Locked &&
               store_.Unlock(kLogin);
    }

    testing::TempDir dir_;
    const std::string path_ = dir_.File("cli.rkd");
    RecordStore store_;
};

// A value of 100 UTF-8 bytes comes back whole after a write, a lock, a restart and a write a
// crash left in the journal, and never shows in the file.
TEST_F(ProtectedStoreTest, ValuesRoundTripThroughWritesLocksAndTheJournal) {
    ASSERT_EQ(store_.LoadDataFile(path_).status, LoadResult::Status::Locked);
    EXPECT_FALSE(store_.ReplaceRecord({kEmoji}, 5, path_));
    ASSERT_TRUE(store_.Unlock(kLogin));
    const std::string before = testing::ReadBytes(path_);
    ASSERT_TRUE(store_.ReplaceRecord({kEmoji}, 5, path_));
    const std::string written = testing::ReadBytes(path_);
    EXPECT_EQ(written.find(kEmoji), std::string::npos);
    store_.Lock();
    EXPECT_EQ(store_.ReadField(1, 5), "");
    EXPECT_FALSE(store_.ReplaceRecord({kTitle}, 5, path_));
    ASSERT_TRUE(store_.Unlock(kLogin));
    EXPECT_EQ(store_.ReadField(1, 5), kEmoji);

    testing::WriteBytes(path_, before);
    testing::WriteBytes(JournalPath(path_),
                        EncodeJournalEntry({5, written.substr(SlotOffset(5), SlotLength)}));
    ASSERT_TRUE(Reopen());
    EXPECT_EQ(store_.ReadField(1, 5), kEmoji);
}

// A damaged slot is never written, reused or lost, not even when the file is rewritten whole;
// the records around it come through that rewrite.
TEST_F(ProtectedStoreTest, NoWriteLandsOnADamagedSlot) {
    std::string file = testing::ReadBytes(path_);
    file[SlotOffset(3) + 30] ^= 0x41;
    testing::WriteBytes(path_, file);
    ASSERT_TRUE(Reopen());
    EXPECT_EQ(store_.UnreadableRecords(), std::vector<int>{3});
    const auto slot3 = [this] {
        return testing::ReadBytes(path_).substr(SlotOffset(3), SlotLength);
    };
    const std::string damaged = slot3();
    EXPECT_FALSE(store_.WriteRecord({"x"}, 3, path_, false));
    EXPECT_EQ(store_.FindFreeRecord(3), 5);
    // Another file in its place makes the next write rewrite the file whole from memory.
    testing::WriteBytes(path_ + ".new", file);
    std::filesystem::rename(path_ + ".new", path_);
    ASSERT_TRUE(store_.WriteRecord({"x"}, 5, path_, false));
    EXPECT_EQ(slot3(), damaged);
    ASSERT_TRUE(Reopen());
    EXPECT_EQ(store_.UnreadableRecords(), std::vector<int>{3});
    EXPECT_EQ(store_.ReadField(1, 5) + store_.ReadField(8, 4), "xWork");
}

// No value of the plain file is left readable in the protected one, in either of its forms.
// (Which logins a header refuses, and a changed login, are the file's own tests; that the login
// opens the protected file with its records, the window's.)
TEST_F(ProtectedStoreTest, ProtectingAPlainFileLeavesNoValueReadable) {
    const std::string plainPath = dir_.File("plain.rkd");
    RecordStore plain;
    ASSERT_TRUE(plain.LoadDataFile(plainPath));
    const std::string values[] = {"Caf\xE9 m\xFCsli", "\x80 budget", "hunter two"};
    FieldValues fields;
    for (int field = 1; field <= 3; ++field) {
        fields[field - 1] = EncodeValue(values[field - 1], 40, false, 0);
    }
    ASSERT_TRUE(plain.WriteRecord(fields, 3, plainPath, false));
    ASSERT_TRUE(plain.Protect(kLogin, "hint", KdfParams::Smallest(), 40));
    const std::string bytes = testing::ReadBytes(plainPath);
    for (const std::string& value : values) {
        EXPECT_EQ(bytes.find(value), std::string::npos) << value;
        EXPECT_EQ(bytes.find(Cp1252ToUtf8(value)), std::string::npos) << value;
    }
}

}  // namespace
}  // namespace keyrack
