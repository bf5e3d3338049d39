#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include "store/DataKey.h"
#include "store/OldFormat.h"
#include "store/RecordJournal.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "support/FaultyFileIo.h"
#include "support/OldFile.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

constexpr int kOldKey = 40;

class OldFormatTest : public ::testing::Test {
  protected:
    LoadResult Load(bool answer) {
        asked_ = false;
        return store_.LoadDataFile(path_, [&] {
            asked_ = true;
            return answer;
        });
    }

    TempDir dir_;
    std::string path_ = dir_.File("cli.rkd");
    std::string copy_ = dir_.File("OLD_cli.rkd");
    FaultyFileIo files_;
    RecordStore store_{files_};
    bool asked_ = false;
};

TEST_F(OldFormatTest, ConversionKeepsEveryOldRecordInItsPlaceWithBlankKeyFields) {
    const std::string one(520, 'o');
    EXPECT_EQ(ConvertOldFormat(one), one + std::string(120, ' '));

    const std::string old = OldDataFile(kOldKey);
    WriteBytes(path_, old);
    WriteBytes(copy_, "an earlier copy");
    ASSERT_TRUE(Load(true));
    EXPECT_TRUE(asked_);
    EXPECT_EQ(ReadBytes(path_).size(), 3u * RecordLength);
    EXPECT_TRUE(ReadBytes(copy_) == old);
    EXPECT_EQ(FileMode(copy_), 0600u);
    EXPECT_EQ(FileMode(path_), 0600u);
    EXPECT_EQ(store_.UpperBound(), 4);
    EXPECT_EQ(StoredDataKey(store_), kOldKey);
    EXPECT_EQ(DecodeValue(store_.ReadField(3, 2), LoginKey), "olduser");
    EXPECT_EQ(DecodeValue(store_.ReadField(4, 2), LoginKey), "oldpass");
    EXPECT_EQ(DecodeValue(store_.ReadField(1, 3), kOldKey), "Bank");
    EXPECT_EQ(DecodeValue(store_.ReadField(7, 3), kOldKey), "8");
    for (int field = 8; field <= 10; ++field) {
        EXPECT_EQ(store_.ReadField(field, 3), "");
    }
}

// 8,320 bytes are 16 old and 13 current records: the settings tell which; a cut current file
// stays current.
TEST_F(OldFormatTest, LengthAndThenTheSettingsTellAnOldFile) {
    const std::string current = std::string(2 * RecordLength, 'r');
    const std::string valid = ConvertOldFormat(OldDataFile(kOldKey));
    const std::tuple<std::string, bool, std::string> files[] = {
        {std::string(8320, 'r'), false, ""},
        {std::string(100, 'p'), false, ""},
        {valid + std::string(10 * RecordLength, ' '), false, "olduser"},
        {OldDataFile(kOldKey) + std::string(13 * OldRecordLength, ' '), true, "olduser"},
        {current + std::string(300, 'p'), false, ""},
    };
    for (const auto& [bytes, old, login] : files) {
        WriteBytes(path_, bytes);
        ASSERT_TRUE(Load(true));
        EXPECT_EQ(asked_, old) << bytes.size();
        EXPECT_EQ(store_.FileRecordCount, old ? 16 : static_cast<long>(bytes.size() / 640));
        EXPECT_EQ(DecodeValue(store_.ReadField(3, 2), LoginKey), login);
        EXPECT_TRUE(ReadBytes(path_) == (old ? ConvertOldFormat(bytes) : bytes));
    }
    // The next write of the cut record completes it.
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"done"}, 3, path_, false));
    const std::string written = ReadBytes(path_);
    EXPECT_EQ(written.size(), 3u * RecordLength);
    EXPECT_TRUE(written.substr(0, 2 * RecordLength + 100) ==
                current + "done" + std::string(96, ' '));
}

TEST_F(OldFormatTest, DeclinedOrFailedConversionLeavesTheFileAsItWas) {
    const std::string old = OldDataFile(kOldKey);
    const std::function<void(FaultyFileIo&)> faults[] = {
        [](FaultyFileIo&) {},  // declined
        [](FaultyFileIo& io) { io.FailOn(FileOp::Create); },
        [](FaultyFileIo& io) { io.FailOn(FileOp::Rename, 2); },
        [&](FaultyFileIo& io) { io.FillDiskAfter(old.size() + 100); },
    };
    bool declined = true;
    for (const auto& fault : faults) {
        WriteBytes(path_, old);
        // A journal cannot hold a record of an old file: it is dropped, never replayed.
        WriteBytes(JournalPath(path_), EncodeJournalEntry({3, std::string(RecordLength, 'j')}));
        fault(files_);
        const LoadResult result = Load(!declined);
        files_.Heal();
        EXPECT_EQ(result.status, declined ? LoadResult::Status::ConversionDeclined
                                          : LoadResult::Status::ConversionFailed);
        EXPECT_TRUE(ReadBytes(path_) == old);
        EXPECT_FALSE(std::filesystem::exists(JournalPath(path_)));
        EXPECT_FALSE(store_.WriteRecord(FieldValues{"x"}, 1, path_, false));
        EXPECT_TRUE(ReadBytes(path_) == old);
        if (declined) {
            EXPECT_FALSE(std::filesystem::exists(copy_));
        }
        declined = false;
    }
}

}  // namespace
}  // namespace keyrack::testing
