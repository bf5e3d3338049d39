#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "store/DataFileCheck.h"
#include "store/DataKey.h"
#include "store/RecordCount.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/TreePlan.h"

namespace keyrack {
namespace {

// data/pinned.rkd was written once, by hand-following the cipher's rules, and is never to be
// made again: users' files hold the same bytes. If this test fails, a change to the fixed keys,
// the cipher or the key forms would lock users out of their files.
constexpr char kPinnedFile[] = KEYRACK_TEST_DATA_DIR "/pinned.rkd";

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char byte : bytes) {
        hash = (hash ^ byte) * 0x100000001b3u;
    }
    return hash;
}

TEST(PinnedFileTest, KeepsLoadingToTheSameCredentialsAndTree) {
    const std::string bytes = testing::ReadBytes(kPinnedFile);
    ASSERT_EQ(Fnv1a(bytes), 0x25df257d67c6d5b6u) << "the pinned file itself was changed";
    EXPECT_EQ(ClassifyDataFile(bytes), DataFileKind::Current);  // a backup of it is restored
    testing::TempDir dir;
    const std::string path = dir.File("cli.rkd");
    testing::WriteBytes(path, bytes);
    RecordStore store;
    store.LoadDataFile(path);

    const int dataKey = StoredDataKey(store);
    EXPECT_EQ(dataKey, 47);
    const auto login = [&](int field) { return DecodeValue(store.ReadField(field, 2), LoginKey); };
    EXPECT_EQ(login(1) + "|" + login(3) + "|" + login(4), "first pet|alice|Tr0ub4dor&3");

    std::vector<std::string> tree;
    for (const PlannedNode& node :
         PlanTree(ReadTreeRecords(store, dataKey, RecordCountInUse(store)))) {
        tree.push_back(node.key + "<" + node.parentKey + " " + node.text + " " + node.Tag());
    }
    const std::vector<std::string> expected = {
        "K3< Bank -1",     "K4< Mail -1",       "K100<K4 Work -1",
        "D<  -1",          "K103<D Shelf -1",   "K5<K3 Savings 5",
        "K6<K4 Webmail 6", "K101<K100 VPN 101", "K102<D Loose 102"};
    EXPECT_EQ(tree, expected);

    std::string entries;
    for (int record : {5, 6, 101}) {
        for (int field = 2; field <= 7; ++field) {
            entries += DecodeValue(store.ReadField(field, record), dataKey) + "|";
        }
    }
    EXPECT_EQ(entries,
              "https://bank.example|alice01|s3cret!|ALPHA|Y|8|"
              "https://mail.example|alice@mail.example|p@ss w0rd|NUMERIC|N|12|"
              "vpn.exe|a.smith|Zz9-yy8|ALPHA|Y|8|");
}

}  // namespace
}  // namespace keyrack
