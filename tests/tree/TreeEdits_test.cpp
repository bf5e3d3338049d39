#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"
#include "tree/TreeEdits.h"

namespace keyrack {
namespace {

TEST(TreeEditsTest, WhereADropLandsOrWhyNothingMoves) {
    // Bank (K3) holds Cards (K5) holding the entry K6; Mail (K4) holds the entry K7; the
    // default group D holds K8.
    const TreeNodeInfo bank{"K3", true, ""}, mail{"K4", true, ""}, cards{"K5", true, "K3"},
        visa{"K6", false, "K5"}, inbox{"K7", false, "K4"};
    const DropTarget empty{};
    const auto on = [](const TreeNodeInfo& node, std::vector<std::string> above) {
        return DropTarget{true, node, std::move(above)};
    };
    const std::tuple<const char*, TreeNodeInfo, DropTarget, DropOutcome, std::string> cases[] = {
        {"entry onto an entry", visa, on(inbox, {"K4"}), DropOutcome::Move, "K4"},
        {"entry into its own group", visa, on(cards, {"K3"}), DropOutcome::Nothing, ""},
        {"group onto an entry of another group", bank, on(inbox, {"K4"}), DropOutcome::Move, "K4"},
        {"group onto its child", bank, on(cards, {"K3"}), DropOutcome::Refused, ""},
        {"group onto an entry below it", bank, on(visa, {"K5", "K3"}), DropOutcome::Refused, ""},
        {"group onto itself", bank, on(bank, {}), DropOutcome::Nothing, ""},
        {"top-level group onto the empty area", mail, empty, DropOutcome::Nothing, ""}};
    for (const auto& [what, dragged, target, outcome, parent] : cases) {
        const DropDecision decision = DecideDrop(dragged, target);
        EXPECT_EQ(decision.outcome, outcome) << what;
        EXPECT_EQ(decision.newParentKey, parent) << what;
    }

    EXPECT_TRUE(MayPickUp(visa, false, 0));
    EXPECT_TRUE(MayPickUp(bank, false, 3));
    EXPECT_FALSE(MayPickUp({"D", true, ""}, false, 0));
    EXPECT_FALSE(MayPickUp(visa, true, 0));   // named like the default group
    EXPECT_FALSE(MayPickUp(bank, false, 0));  // no record to keep its place
}

TEST(TreeEditsTest, MovesRewriteOnlyWhatTheNewPlaceNeeds) {
    constexpr int kKey = 99;
    RecordStore store;
    store.DataRecords.resize(200);
    const auto put = [&](int record, int field, const std::string& value) {
        store.DataRecords[record].SetField(field,
                                           EncodeValue(value, kKey, true, FieldWidth(field)));
    };
    put(3, 8, "Bank");
    put(3, 9, "K3");
    put(4, 8, "Mislaid");
    put(4, 9, "K9");  // a group whose key names another record
    put(105, 8, "Cut");
    put(105, 9, "K10o");  // shown as K105: earlier versions cut its key
    const std::vector<std::string> entry = {
        " Visa ", "https://visa.example", "alice", " pin 1 ", "NUMERIC", "N", " 12", "K5", "K150",
        "K5"};
    for (int field = 1; field <= 10; ++field) {
        put(150, field, entry[field - 1]);
    }
    EXPECT_EQ(GroupRecordOf(store, "K3", kKey), 3);
    EXPECT_EQ(GroupRecordOf(store, "K4", kKey), 0);
    EXPECT_EQ(GroupRecordOf(store, "K105", kKey), 105);
    EXPECT_EQ(GroupRecordOf(store, "K150", kKey), 0);  // an entry
    EXPECT_EQ(GroupRecordOf(store, "D", kKey), 0);

    const FieldValues moved =
        MovedEntryFields(store, 150, "Visa", "K150", "K3", kKey, platform::SystemRandom());
    const std::vector<std::string> expected = {
        "Visa", "https://visa.example", "alice", " pin 1 ", "NUMERIC", "N", " 12", "Visa", "04N",
        "K3"};
    for (int field = 1; field <= 10; ++field) {
        EXPECT_EQ(DecodeValue(moved[field - 1], kKey), expected[field - 1]) << field;
        EXPECT_LE(moved[field - 1].size(), static_cast<std::size_t>(FieldWidth(field)));
    }
    // A key that the field cannot hold leaves the stored one.
    EXPECT_TRUE(
        MovedEntryFields(store, 150, "Visa", "K150+", "K3", kKey, platform::SystemRandom())[8]
            .empty());

    FieldValues group = MovedGroupFields(store, 105, "K150", kKey, platform::SystemRandom());
    EXPECT_EQ(group[7], store.ReadField(8, 105));
    // The move writes the key whole, in the short form that fits the field.
    EXPECT_EQ(DecodeValue(group[8], kKey) + DecodeValue(group[9], kKey), "03904N");
    // A renamed group past record 99 stores its key short as well.
    EXPECT_EQ(
        DecodeValue(GroupRecordFields("Cut", 105, "", kKey, platform::SystemRandom())[8], kKey),
        "039");
    group = MovedGroupFields(store, 3, "", kKey, platform::SystemRandom());
    EXPECT_TRUE(group[9].empty());
}

TEST(TreeEditsTest, DraggingNearAnEdgeScrollsThatWay) {
    // A tree of 3000 by 2000 twips: 200 twips count at the top and left, 600 at the bottom
    // and right; up and down win in corners.
    const std::tuple<int, int, DragScroll> cases[] = {
        {1500, 199, DragScroll::Up},    {1500, 200, DragScroll::None},
        {1500, 1401, DragScroll::Down}, {1500, 1400, DragScroll::None},
        {199, 1000, DragScroll::Left},  {2401, 1000, DragScroll::Right},
        {2400, 1000, DragScroll::None}, {10, 10, DragScroll::Up},
        {2900, 1900, DragScroll::Down}};
    for (const auto& [x, y, direction] : cases) {
        EXPECT_EQ(DragScrollDirection(x, y, 3000, 2000), direction) << x << "," << y;
    }
}

}  // namespace
}  // namespace keyrack
