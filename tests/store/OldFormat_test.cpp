#include <gtest/gtest.h>

#include <filesystem>
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

// 8,320 bytes are 16 old and 13 current records: the settings tell which. An old file is kept
// as it was and converted with every record in its place; a cut current file stays current.
TEST_F(OldFormatTest, LengthAndThenTheSettingsTellAnOldFileWhichIsConvertedInPlace) {
    const std::string current = std::string(2 * RecordLength, 'r');
    const std::string valid = ConvertOldFormat(OldDataFile(kOldKey));
    const std::tuple<std::string, bool, std::string> files[] = {
        {OldDataFile(kOldKey), true, "olduser"},
        {std::string(8320, 'r'), false, ""},
        {valid + std::string(10 * RecordLength, ' '), false, "olduser"},
        {OldDataFile(kOldKey) + std::string(13 * OldRecordLength, ' '), true, "olduser"},
        {current + std::string(300, 'p'), false, ""}};
    for (const auto& [bytes, old, login] : files) {
        WriteBytes(path_, bytes);
        WriteBytes(copy_, "an earlier copy");
        ASSERT_TRUE(Load(true));
        EXPECT_EQ(asked_, old) << bytes.size();
        EXPECT_EQ(store_.FileRecordCount,
                  static_cast<long>(bytes.size() / (old ? OldRecordLength : RecordLength)));
        EXPECT_EQ(DecodeValue(store_.ReadField(3, 2), LoginKey), login);
        EXPECT_TRUE(ReadBytes(path_) == (old ? ConvertOldFormat(bytes) : bytes));
        EXPECT_TRUE(ReadBytes(copy_) == (old ? bytes : "an earlier copy"));
        if (old) {
            EXPECT_EQ(StoredDataKey(store_), kOldKey);
            EXPECT_EQ(DecodeValue(store_.ReadField(1, 3), kOldKey) + store_.ReadField(8, 3) +
                          store_.ReadField(9, 3) + store_.ReadField(10, 3),
                      "Bank");
        }
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
    // Declined; the copy of the old file cannot be made; the converted file cannot replace it
    // (every way a replacement can fail is the file unit's test).
    for (const int fault : {0, 1, 2}) {
        const bool declined = fault == 0;
        WriteBytes(path_, old);
        // A journal cannot hold a record of an old file: it is dropped, never replayed.
        WriteBytes(JournalPath(path_), EncodeJournalEntry({3, std::string(RecordLength, 'j')}));
        if (fault == 1) {
            files_.FailOn(FileOp::Create);
        }
        files_.FillDiskAfter(fault == 2 ? static_cast<long long>(old.size()) + 100 : -1);
        const LoadResult result = Load(!declined);
        files_.Heal();
        EXPECT_EQ(result.status, declined ? LoadResult::Status::ConversionDeclined
                                          : LoadResult::Status::ConversionFailed);
        EXPECT_TRUE(ReadBytes(path_) == old);
        EXPECT_FALSE(std::filesystem::exists(JournalPath(path_)));
        EXPECT_FALSE(store_.WriteRecord(FieldValues{"x"}, 1, path_, false));
        EXPECT_TRUE(ReadBytes(path_) == old);
        EXPECT_TRUE(!declined || !std::filesystem::exists(copy_));
    }
}

}  // namespace
}  // namespace keyrack::testing
