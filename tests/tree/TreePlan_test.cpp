#include "tree/TreePlan.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

TreeRecord Entry(int index, const std::string& title, const std::string& key,
                 const std::string& parentKey) {
    return {index, title, "", key, parentKey};
}

TreeRecord Group(int index, const std::string& name, const std::string& key,
                 const std::string& parentKey) {
    return {index, "", name, key, parentKey};
}

// Each node as "key<parent", in the order the plan adds them.
std::vector<std::string> Shape(const std::vector<PlannedNode>& plan) {
    std::vector<std::string> shape;
    for (const PlannedNode& node : plan) {
        shape.push_back(node.key + "<" + node.parentKey);
    }
    return shape;
}

using Shapes = std::vector<std::string>;

TEST(TreePlanTest, EntriesWithoutGroupsGoIntoTheDefaultGroup) {
    const std::vector<PlannedNode> empty = PlanTree({});
    ASSERT_EQ(Shape(empty), Shapes({"D<"}));
    EXPECT_TRUE(empty[0].isGroup);
    EXPECT_TRUE(empty[0].isDefaultGroup);
    EXPECT_EQ(empty[0].text, "");
    EXPECT_EQ(empty[0].Tag(), "-1");

    const std::vector<PlannedNode> plan = PlanTree({
        Entry(3, "Bank", "", ""),
        Group(4, "", "K4", ""),     // no name: shows nowhere
        Group(5, "Mail", "", ""),   // no key: shows nowhere
        Group(6, "   ", "K6", ""),  // blank name: shows nowhere
        Entry(7, "Shop", "", ""),
    });
    ASSERT_EQ(Shape(plan), Shapes({"D<", "K3<D", "K7<D"}));
    EXPECT_EQ(plan[1].text, "Bank");
    EXPECT_FALSE(plan[1].isGroup);
    EXPECT_EQ(plan[1].record, 3);
    EXPECT_EQ(plan[1].Tag(), "3");
}

TEST(TreePlanTest, ParentsArePlacedBeforeChildrenWhateverTheRecordOrder) {
    const std::vector<PlannedNode> plan = PlanTree({
        Entry(3, "Deep", "K3", "K4"),
        Group(4, "Leaf", "K4", "K5"),
        Group(5, "Middle", "K5", "K6"),
        Group(6, "Root", "K6", ""),
        Group(7, "Second root", "K7", ""),
        Entry(8, "Top", "K8", "K7"),
    });
    EXPECT_EQ(Shape(plan), Shapes({"K6<", "K7<", "K5<K6", "K4<K5", "K3<K4", "K8<K7"}));
    EXPECT_EQ(plan[0].text, "Root");
    EXPECT_FALSE(plan[0].isDefaultGroup);
}

TEST(TreePlanTest, TakenKeysGiveWayToTheFirstRecord) {
    const std::vector<PlannedNode> plan = PlanTree({
        Group(3, "Bank", "K3", ""), Group(4, "Bank again", "K3", ""), Entry(5, "Card", "K5", "K3"),
        Entry(6, "Loan", "K3", "K3"),                               // the group's key
        Entry(7, "Safe", "D", "K3"), Entry(8, "Copy", "K5", "K3"),  // the first entry's key
    });
    EXPECT_EQ(Shape(plan), Shapes({"K3<", "K5<K3", "K6<K3", "K7<K3", "K8<K3"}));
    EXPECT_EQ(plan[0].text, "Bank");

    // Keys stay unique even when the record's own key is already in use.
    const std::vector<PlannedNode> crowded = PlanTree({
        Entry(3, "One", "K4", ""),
        Entry(4, "Two", "", ""),
        Entry(5, "Three", "K4", ""),
    });
    std::set<std::string> keys;
    for (const PlannedNode& node : crowded) {
        EXPECT_TRUE(keys.insert(node.key).second) << node.key;
    }
    EXPECT_EQ(crowded.size(), 4u);
}

TEST(TreePlanTest, OrphansJoinTheDefaultGroupAndFreeTheirChildren) {
    EXPECT_EQ(Shape(PlanTree({
                  Group(3, "Mail", "K3", ""),
                  Entry(4, "Lost", "K4", "K9"),
                  Entry(5, "Home", "K5", "K3"),
                  Entry(6, "Loose", "K6", ""),
                  Entry(7, "Later", "K7", "K3"),
              })),
              Shapes({"K3<", "K5<K3", "D<", "K6<D", "K7<K3", "K4<D"}));

    // Orphaned group: moved into the default group, its entry follows it there.
    EXPECT_EQ(Shape(PlanTree({
                  Entry(3, "Inside", "K3", "K4"),
                  Group(4, "Lost group", "K4", "K9"),
              })),
              Shapes({"D<", "K4<D", "K3<K4"}));

    // Two groups naming each other: the first one breaks the circle.
    EXPECT_EQ(Shape(PlanTree({
                  Group(3, "A", "K3", "K4"),
                  Group(4, "B", "K4", "K3"),
                  Entry(5, "E", "K5", "K4"),
              })),
              Shapes({"D<", "K3<D", "K4<K3", "K5<K4"}));

    // A group placed first means no default group is needed.
    EXPECT_EQ(Shape(PlanTree({Group(3, "Mail", "K3", ""), Entry(4, "Home", "K4", "K3")})),
              Shapes({"K3<", "K4<K3"}));
}

TEST(TreePlanTest, EntriesBeyondRecordNinetyNineComeBackFromTheFile) {
    testing::TempDir dir;
    const std::string path = dir.File("keyrack.dat");
    constexpr int kKey = 77;
    constexpr int kGroup = 150;
    constexpr int kLast = 300;
    {
        RecordStore store;
        store.LoadDataFile(path);
        FieldValues header;
        header[5] = std::to_string(kLast - 2);
        ASSERT_TRUE(store.WriteRecord(header, 1, path, false));

        FieldValues top;
        top[7] = EncodeValue("Root", kKey, true, 100);
        top[8] = EncodeValue(StoredKeyForm("K3"), kKey, true, 10);
        ASSERT_TRUE(store.WriteRecord(top, 3, path, false));

        FieldValues inner;
        inner[7] = EncodeValue("Inner", kKey, true, 100);
        inner[8] = EncodeValue(StoredKeyForm(RecordKey(kGroup)), kKey, true, 10);
        inner[9] = EncodeValue(StoredKeyForm("K3"), kKey, true, 10);
        ASSERT_TRUE(store.WriteRecord(inner, kGroup, path, false));

        for (int record = 100; record <= kLast; ++record) {
            if (record == kGroup) {
                continue;
            }
            EntryValues values;
            values.title = "Entry " + std::to_string(record);
            const std::string parent = record % 2 == 0 ? "K3" : RecordKey(kGroup);
            ASSERT_TRUE(store.WriteRecord(
                EntryRecordFields(values, parent, record, parent, kKey, platform::SystemRandom()),
                record, path, false));
        }
    }

    RecordStore store;
    store.LoadDataFile(path);
    const int count = ReadRecordCount(store);
    EXPECT_EQ(count, kLast - 2);
    const std::vector<PlannedNode> plan = PlanTree(ReadTreeRecords(store, kKey, count));
    ASSERT_EQ(plan.size(), 202u);
    EXPECT_EQ(Shape({plan[0], plan[1]}), Shapes({"K3<", "K150<K3"}));
    EXPECT_EQ(plan[1].text, "Inner");
    std::size_t at = 2;
    for (int record = 100; record <= kLast; ++record) {
        if (record == kGroup) {
            continue;
        }
        const PlannedNode& node = plan[at++];
        EXPECT_EQ(node.key, RecordKey(record));
        EXPECT_EQ(node.parentKey, record % 2 == 0 ? "K3" : "K150") << record;
        EXPECT_EQ(node.text, "Entry " + std::to_string(record));
        EXPECT_EQ(node.record, record);
    }

    // A count short of the file leaves the later records out.
    EXPECT_EQ(ReadTreeRecords(store, kKey, 100).size(), 100u);
}

}  // namespace
}  // namespace keyrack
