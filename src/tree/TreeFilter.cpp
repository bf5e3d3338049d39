#include "tree/TreeFilter.h"

#include <array>

namespace keyrack {

namespace {

// What each Windows-1252 byte becomes in folded text: one character, or for a few letters
// two. Folding appends characters, not strings, as it runs over every text of a large file.
class FoldTable {
  public:
    FoldTable() {
        for (int byte = 0; byte < 256; ++byte) {
            folded_[byte] = {static_cast<char>(byte), '\0'};
        }
        for (int byte = 'A'; byte <= 'Z'; ++byte) {
            folded_[byte] = {static_cast<char>(byte - 'A' + 'a'), '\0'};
        }
        // Both cases of each accented letter, upper (0xC0..) and lower (0xE0..).
        for (int lower : {0, 0x20}) {
            Set(0xC0 + lower, 0xC5 + lower, "a");
            Set(0xC6 + lower, 0xC6 + lower, "ae");
            Set(0xC7 + lower, 0xC7 + lower, "c");
            Set(0xC8 + lower, 0xCB + lower, "e");
            Set(0xCC + lower, 0xCF + lower, "i");
            Set(0xD0 + lower, 0xD0 + lower, "d");
            Set(0xD1 + lower, 0xD1 + lower, "n");
            Set(0xD2 + lower, 0xD6 + lower, "o");
            Set(0xD8 + lower, 0xD8 + lower, "o");
            Set(0xD9 + lower, 0xDC + lower, "u");
            Set(0xDD + lower, 0xDD + lower, "y");
            Set(0xDE + lower, 0xDE + lower, "th");
        }
        Set(0xDF, 0xDF, "ss");
        Set(0xFF, 0xFF, "y");
        Set(0x83, 0x83, "f");
        Set(0x8A, 0x8A, "s");
        Set(0x9A, 0x9A, "s");
        Set(0x8C, 0x8C, "oe");
        Set(0x9C, 0x9C, "oe");
        Set(0x8E, 0x8E, "z");
        Set(0x9E, 0x9E, "z");
        Set(0x9F, 0x9F, "y");
    }

    void Append(std::string& out, unsigned char byte) const {
        const std::array<char, 2>& folded = folded_[byte];
        out += folded[0];
        if (folded[1] != '\0') {
            out += folded[1];
        }
    }

  private:
    void Set(int first, int last, const char* text) {
        for (int byte = first; byte <= last; ++byte) {
            folded_[byte] = {text[0], text[1]};
        }
    }

    // The second character is '\0' when there is only one.
    std::array<std::array<char, 2>, 256> folded_;
};

const FoldTable& Folds() {
    static const FoldTable table;
    return table;
}

int ParentOf(const std::vector<FilterNode>& nodes, std::size_t position) {
    const int parent = nodes[position].parent;
    return parent >= 0 && static_cast<std::size_t>(parent) < nodes.size() ? parent : -1;
}

bool Matches(const FilterNode& node, const std::string& query) {
    for (const std::string& text : node.texts) {
        if (text.find(query) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string FoldForSearch(const std::string& cp1252) {
    const FoldTable& folds = Folds();
    std::string folded;
    folded.reserve(cp1252.size());
    for (char c : cp1252) {
        folds.Append(folded, static_cast<unsigned char>(c));
    }
    return folded;
}

FilterPlan PlanFilter(const std::vector<FilterNode>& nodes,
                      const std::optional<std::string>& foldedQuery) {
    const std::size_t count = nodes.size();
    const bool showAll = foldedQuery && foldedQuery->empty();
    FilterPlan plan{std::vector<bool>(count, showAll), std::vector<bool>(count, false)};
    if (showAll) {
        return plan;
    }

    // Whether a node lies in the subtree of a match (itself included): 0 not known yet.
    enum : char { kUnknown, kNo, kYes };
    std::vector<char> underMatch(count, kUnknown);
    std::vector<std::size_t> chain;
    for (std::size_t i = 0; i < count; ++i) {
        chain.clear();
        int at = static_cast<int>(i);
        // The guard on the chain's length only matters for parent links that loop.
        while (at >= 0 && underMatch[static_cast<std::size_t>(at)] == kUnknown &&
               chain.size() <= count) {
            chain.push_back(static_cast<std::size_t>(at));
            at = ParentOf(nodes, static_cast<std::size_t>(at));
        }
        bool under = at >= 0 && underMatch[static_cast<std::size_t>(at)] == kYes;
        for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
            under = under || (foldedQuery && Matches(nodes[*node], *foldedQuery));
            underMatch[*node] = under ? kYes : kNo;
        }
    }

    for (std::size_t i = 0; i < count; ++i) {
        if (underMatch[i] != kYes && !nodes[i].keepShown) {
            continue;
        }
        plan.visible[i] = true;
        // A group already opened has had the way above it opened too.
        for (int group = ParentOf(nodes, i);
             group >= 0 && !plan.expanded[static_cast<std::size_t>(group)];
             group = ParentOf(nodes, static_cast<std::size_t>(group))) {
            plan.expanded[static_cast<std::size_t>(group)] = true;
            plan.visible[static_cast<std::size_t>(group)] = true;
        }
    }
    return plan;
}

}  // namespace keyrack
