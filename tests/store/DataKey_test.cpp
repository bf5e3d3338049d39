#include "store/DataKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "store/ValueCipher.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

class CountingRandom : public platform::RandomSource {
  public:
    explicit CountingRandom(std::uint32_t draw) : draw_(draw) {}
    std::uint32_t Below(std::uint32_t bound) override {
        bounds.push_back(bound);
        return draw_ % bound;
    }
    std::vector<std::uint32_t> bounds;

  private:
    std::uint32_t draw_;
};

TEST(DataKeyTest, NewFileGetsAKeyThatSurvivesReloading) {
    testing::TempDir dir;
    const std::string path = dir.File("keyrack.dat");
    RecordStore store;
    store.LoadDataFile(path);
    EXPECT_EQ(StoredDataKey(store), 0);

    CountingRandom random(40);
    const DataKeyResult made = LoadOrCreateDataKey(store, path, random);
    EXPECT_EQ(made.key, 53);
    EXPECT_TRUE(made.created);
    EXPECT_TRUE(made.written);
    ASSERT_FALSE(random.bounds.empty());
    EXPECT_EQ(random.bounds.front(), 83u);

    // "53" under the login key: 53 + 58 = 111, then 51 + 111 + 58 = 220; letters fill the field.
    const std::string field = testing::ReadBytes(path).substr(400, 40);
    EXPECT_EQ(field.substr(0, 6), "111220");
    EXPECT_EQ(field.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]abcdefghijklmnopqrstuvwxy", 6),
              std::string::npos);

    RecordStore reloaded;
    reloaded.LoadDataFile(path);
    CountingRandom unused(0);
    const DataKeyResult loaded = LoadOrCreateDataKey(reloaded, path, unused);
    EXPECT_EQ(loaded.key, 53);
    EXPECT_FALSE(loaded.created);
    EXPECT_TRUE(unused.bounds.empty());

    // The key range ends are reachable.
    for (std::uint32_t draw : {0u, 82u}) {
        RecordStore fresh;
        const std::string other = dir.File("k" + std::to_string(draw));
        fresh.LoadDataFile(other);
        CountingRandom edge(draw);
        EXPECT_EQ(LoadOrCreateDataKey(fresh, other, edge).key, draw == 0 ? 13 : 95);
    }
}

TEST(DataKeyTest, StoredKeyIsKeptWhateverItIs) {
    testing::TempDir dir;
    const std::string path = dir.File("keyrack.dat");
    for (const char* stored : {"112", "5", "-7"}) {
        RecordStore store;
        store.LoadDataFile(path);
        FieldValues fields;
        fields[4] = EncodeValue(stored, LoginKey, true, 100);
        ASSERT_TRUE(store.WriteRecord(fields, 1, path, false));
        CountingRandom random(0);
        const DataKeyResult result = LoadOrCreateDataKey(store, path, random);
        EXPECT_EQ(result.key, std::stoi(stored));
        EXPECT_FALSE(result.created);
        EXPECT_TRUE(random.bounds.empty());
    }
}

TEST(DataKeyTest, KeyThatCannotBeWrittenIsReported) {
    testing::TempDir dir;
    RecordStore store;
    store.LoadDataFile(dir.File("keyrack.dat"));
    CountingRandom random(1);
    const DataKeyResult result = LoadOrCreateDataKey(store, dir.Path(), random);
    EXPECT_EQ(result.key, 14);
    EXPECT_TRUE(result.created);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(StoredDataKey(store), 0);
}

}  // namespace
}  // namespace keyrack
