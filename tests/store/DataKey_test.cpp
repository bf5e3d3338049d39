#include "store/DataKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "store/ValueCipher.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

struct FixedRandom : platform::RandomSource {
    explicit FixedRandom(std::uint32_t value) : draw(value) {}
    std::uint32_t Below(std::uint32_t bound) override { return draw % bound; }
    std::uint32_t draw;
};

TEST(DataKeyTest, NewKeyIsDrawnFromItsRangeAndReadBack) {
    testing::TempDir dir;
    // 83 wraps round to the lowest key only if exactly 83 keys can be drawn.
    for (std::uint32_t draw : {0u, 82u, 83u}) {
        const std::string path = dir.File("k" + std::to_string(draw));
        RecordStore store;
        store.LoadDataFile(path);
        FixedRandom random(draw);
        const DataKeyResult made = LoadOrCreateDataKey(store, path, random);
        EXPECT_EQ(made.key, 13 + static_cast<int>(draw % 83));
        EXPECT_TRUE(made.created && made.written);
        EXPECT_EQ(DecodeValue(testing::ReadBytes(path).substr(400, 40), LoginKey),
                  std::to_string(made.key));
        RecordStore reloaded;
        reloaded.LoadDataFile(path);
        EXPECT_EQ(StoredDataKey(reloaded), made.key);
    }
}

TEST(DataKeyTest, StoredKeyIsKeptAndAnUnsavedOneReported) {
    testing::TempDir dir;
    RecordStore store;
    store.LoadDataFile(dir.File("keyrack.dat"));
    FixedRandom random(0);
    // Writing to a folder fails: the new key must not pass for a saved one.
    const DataKeyResult lost = LoadOrCreateDataKey(store, dir.Path(), random);
    EXPECT_TRUE(lost.created && !lost.written);

    const FieldValues fields{"", "", "", "", EncodeValue("112", LoginKey, true, 100)};
    ASSERT_TRUE(store.WriteRecord(fields, 1, dir.File("keyrack.dat"), false));
    const DataKeyResult kept = LoadOrCreateDataKey(store, dir.File("keyrack.dat"), random);
    EXPECT_EQ(kept.key, 112);
    EXPECT_FALSE(kept.created);
}

}  // namespace
}  // namespace keyrack
