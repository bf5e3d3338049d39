#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tree/TreeFilter.h"

namespace keyrack {
namespace {

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

}  // namespace
}  // namespace keyrack
