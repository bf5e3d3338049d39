#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/Strings.h"
#include "platform/DesktopOpening.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/DetailBoxes.h"
#include "tree/NodeKeys.h"
#include "tree/TreeEdits.h"
#include "tree/TreeFilter.h"
#include "tree/TreePlan.h"

namespace keyrack {
namespace {

TEST(NodeKeysTest, LongKeysAreStoredInThreeCharactersAndOtherValuesStayAsTheyAre) {
    // A key with a leading zero must keep its own form, or it would come back as another key.
    const std::pair<const char*, const char*> forms[] = {
        {"K99", "K99"},       {"K100", "034"},    {"K1024", "100"},  {"K32767", "WWW"},
        {"K32768", "K32768"}, {"K0100", "K0100"}, {"K100a", "K100a"}};
    for (const auto& [key, stored] : forms) {
        EXPECT_EQ(StoredKeyForm(key), stored) << key;
    }
    for (int record = 1; record <= MaxRecordNumber; ++record) {
        const std::string stored = StoredKeyForm(RecordKey(record));
        ASSERT_LE(stored.size(), 3u) << record;
        ASSERT_EQ(KeyFromStored(stored), RecordKey(record));
    }
    // Older or damaged files may hold anything in the key fields.
    for (const char* other : {"D", "03K", "0wW", "0340", ""}) {
        EXPECT_EQ(KeyFromStored(other), other);
    }
}

TreeRecord Entry(int index, const std::string& key, const std::string& parentKey) {
    return {index, "Entry " + std::to_string(index), "", key, parentKey, ""};
}

TreeRecord Group(int index, const std::string& name, const std::string& key,
                 const std::string& parentKey) {
    return {index, "", name, key, parentKey, ""};
}

// Each node as "key<parent", in the order the plan adds them.
std::vector<std::string> Shape(const std::vector<PlannedNode>& plan) {
    std::vector<std::string> shape;
    for (const PlannedNode& node : plan) {
        shape.push_back(node.key + "<" + node.parentKey);
    }
    return shape;
}

TEST(TreePlanTest, EveryRecordFindsOneUniquePlaceAfterItsParent) {
    // What each case is about, its records, and the plan's shape.
    const std::tuple<const char*, std::vector<TreeRecord>, std::vector<std::string>> cases[] = {
        {"empty file", {}, {"D<"}},
        {"no group, empty keys, records that are neither group nor entry",
         {Entry(3, "", ""), Group(4, "", "K4", ""), Group(5, "Mail", "", ""),
          Group(6, "   ", "K6", ""), Entry(7, "", "")},
         {"D<", "K3<D", "K7<D"}},
        {"parents later in the file",
         {Entry(3, "K3", "K4"), Group(4, "Leaf", "K4", "K5"), Group(5, "Root", "K5", ""),
          Entry(6, "K6", "K5")},
         {"K5<", "K4<K5", "K3<K4", "K6<K5"}},
        {"taken keys",
         {Group(3, "Bank", "K3", ""), Group(4, "Bank again", "K3", ""), Entry(5, "K5", "K3"),
          Entry(6, "K3", "K3"), Entry(7, "D", "K3"), Entry(8, "K5", "K3")},
         {"K3<", "K4<", "K5<K3", "K6<K3", "K7<K3", "K8<K3"}},
        {"keys cut by earlier versions",
         {Group(100, "A", "K10x", "K10y"), Group(101, "B", "K10x", ""), Entry(102, "K10x", "K10x"),
          Group(103, "C", "K10y", ""), Group(104, "D", "K1", "K10y"), Group(105, "E", "K3", ""),
          Group(3, "F", "K3", "K1")},
         {"K101<", "K103<", "K100<K103", "K104<K103", "K105<", "K3<K104", "K102<K100"}},
        {"stored key equal to a later record's own key",
         {Entry(3, "K4", ""), Entry(4, "", ""), Entry(5, "K4", "")},
         {"D<", "K4<D", "K4+<D", "K5<D"}},
        {"orphan entry",
         {Group(3, "Mail", "K3", ""), Entry(4, "K4", "K9"), Entry(5, "K5", "K3"),
          Entry(6, "K6", ""), Entry(7, "K7", "K3")},
         {"K3<", "K5<K3", "D<", "K6<D", "K7<K3", "K4<D"}},
        {"orphan group",
         {Entry(3, "K3", "K4"), Group(4, "Lost", "K4", "K9")},
         {"D<", "K4<D", "K3<K4"}},
        {"groups naming each other",
         {Group(3, "A", "K3", "K4"), Group(4, "B", "K4", "K3"), Entry(5, "K5", "K4")},
         {"D<", "K3<D", "K4<K3", "K5<K4"}}};
    for (const auto& [what, records, shape] : cases) {
        EXPECT_EQ(Shape(PlanTree(records)), shape) << what;
    }
    EXPECT_EQ(PlanTree(std::get<1>(cases[3]))[0].text, "Bank");
}

// A crafted chain of groups far deeper than the tree view can lay out shows at the deepest
// level allowed, each group under the last one that level allows; entries go one deeper.
TEST(TreePlanTest, GroupsNestedTooDeepAreShownAtTheDeepestLevel) {
    constexpr int kChain = 30000;
    std::vector<TreeRecord> records;
    for (int index = FirstTreeRecord; index < FirstTreeRecord + kChain; ++index) {
        records.push_back(Group(index, "G", RecordKey(index),
                                index == FirstTreeRecord ? "" : RecordKey(index - 1)));
    }
    records.push_back(Entry(30003, "K30003", "K30002"));  // after the last group
    records.push_back(Entry(30004, "K30004", "K30003"));
    const std::vector<PlannedNode> plan = PlanTree(records);
    ASSERT_EQ(plan.size(), records.size());
    std::string shape;
    for (std::size_t at : {98, 99, 100, kChain - 1, kChain, kChain + 1}) {
        shape += plan[at].key + "<" + plan[at].parentKey + (plan[at].raised ? "! " : " ");
    }
    EXPECT_EQ(shape, "K101<K100 K102<K101 K103<K101! K30002<K101! K30003<K30002 K30004<K30002! ");
}

TEST(TreeFilterTest, FoldingDropsCaseAndAccentsOfWindows1252Letters) {
    // Windows-1252 bytes: À É Î õ ü, ß, Œ Æ Þ, Š ž Ÿ, × ÷.
    const std::pair<std::string, std::string> folds[] = {
        {"\xC0\xC9\xCE\xF5\xFC", "aeiou"},
        {"Stra\xDF\x65", "strasse"},
        {"\x8Cuvre \xC6sir \xDE\xF3r", "oeuvre aesir thor"},
        {"\x8A\x9E\x9F", "szy"},
        {"\xD7\xF7 09 @.-", "\xD7\xF7 09 @.-"}};
    for (const auto& [text, folded] : folds) {
        EXPECT_EQ(FoldForSearch(text), folded) << text;
    }
}

// Positions set in flags, as digits.
std::string Positions(const std::vector<bool>& flags) {
    std::string positions;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (flags[i]) {
            positions += static_cast<char>('0' + i);
        }
    }
    return positions;
}

FilterNode Node(int parent, std::vector<std::string> texts, bool keepShown = false) {
    for (std::string& text : texts) {
        text = FoldForSearch(text);
    }
    return {parent, std::move(texts), keepShown};
}

TEST(TreeFilterTest, MatchesKeepTheirSubtreeAndTheWayToThemVisibleAndOpen) {
    // 0 Bank > 1 Cards > 2 Visa; 3 Mail > 4 Gmail; 5 (no texts) > 6 Router;
    // 8 Travel > 7 Café, the child listed before its group.
    std::vector<FilterNode> nodes = {
        Node(-1, {"Bank"}),
        Node(0, {"Cards"}),
        Node(1, {"Visa", "https://visa.example", "alice"}),
        Node(-1, {"Mail"}),
        Node(3, {"Gmail", "https://accounts.google.example", "bob.smith"}),
        Node(-1, {}),
        Node(5, {"Router", "192.168.1.1", "admin"}),
        Node(8, {"Caf\xE9", "", "tom"}),
        Node(-1, {"Travel"})};
    // Query (none: a character no stored text can hold), visible nodes, opened groups.
    const std::tuple<std::optional<std::string>, const char*, const char*> cases[] = {
        {"", "012345678", ""},  {"vIsA", "012", "01"},  // title, any case
        {"google", "34", "3"},                          // address
        {"CAF\xC9", "78", "8"},                         // accents; a group after its child
        {"bank", "012", "01"},                          // a group shows everything below it
        {"mail", "34", "3"},                            // group and entry
        {"zzz", "", ""},        {std::nullopt, "", ""}};
    for (const auto& [query, visible, expanded] : cases) {
        const auto folded = query ? std::optional(FoldForSearch(*query)) : std::nullopt;
        const FilterPlan plan = PlanFilter(nodes, folded);
        EXPECT_EQ(Positions(plan.visible), visible) << query.value_or("(none)");
        EXPECT_EQ(Positions(plan.expanded), expanded) << query.value_or("(none)");
    }

    nodes[6].keepShown = true;
    const FilterPlan kept = PlanFilter(nodes, FoldForSearch("visa"));
    EXPECT_EQ(Positions(kept.visible), "01256");
    EXPECT_EQ(Positions(kept.expanded), "015");
}

TEST(DetailBoxesTest, TitlesLoseTheirLineBreaksAndFieldsTheirNuls) {
    EXPECT_EQ(FlattenTitle("  a\nb\n") + "|" + FlattenTitle("a\rb"), "a b|a b");
    EXPECT_EQ(FlattenTitle("a\r\n\r\nb"), "a  b");
    EXPECT_EQ(ReplaceChar(std::string(" a\0b\0 ", 7), '\0', ""), "ab");
    EXPECT_TRUE(IsBlankOrLineBreaks(" \t\r\n"));
    EXPECT_FALSE(IsBlankOrLineBreaks("\n.\n"));
}

TEST(DesktopOpeningTest, ProgramsStartFilesAndFoldersOpenTheRestIsAnAddress) {
    using Kind = platform::Opening::Kind;
    testing::TempDir dir;
    testing::WriteBytes(dir.File("tool"), "#!/bin/sh\n");
    ASSERT_EQ(chmod(dir.File("tool").c_str(), 0700), 0);
    testing::WriteBytes(dir.File("notes.txt"), "x");
    std::filesystem::create_directory(dir.File("docs"));
    const std::tuple<std::string, Kind, std::string> cases[] = {
        {dir.File("tool"), Kind::StartProgram, dir.File("tool")},
        {"tool", Kind::StartProgram, dir.File("tool")},  // beside the working folder
        {dir.File("notes.txt"), Kind::OpenFile, dir.File("notes.txt")},
        {dir.File("docs"), Kind::OpenFile, dir.File("docs")},
        {"www.example.org", Kind::OpenAddress, "www.example.org"},
        {" https://example.org/a b; rm x", Kind::OpenAddress, " https://example.org/a b; rm x"}};
    for (const auto& [target, kind, opened] : cases) {
        const platform::Opening opening = platform::ChooseOpening(target, dir.Path());
        EXPECT_EQ(opening.kind, kind) << target;
        EXPECT_EQ(opening.target, opened) << target;
    }
}

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
