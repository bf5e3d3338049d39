#pragma once

#include <optional>
#include <string>
#include <vector>

// Finding nodes of the entry tree by typing: which nodes a query leaves visible and which groups
// open to show them. Nothing is removed; the form hides and shows nodes by this plan.
namespace keyrack {

// Windows-1252 text as the search compares it: letters in lower case and without accents, so
// "É" finds "e"; "ß", "Æ", "Œ" and "Þ" become "ss", "ae", "oe" and "th".
std::string FoldForSearch(const std::string& cp1252);

// One node of the tree as the search sees it, at its own position in a list of nodes.
struct FilterNode {
    int parent = -1;  // position of the parent group in the same list; -1 at the top level
    // Folded texts the node is found by: a group's name; an entry's title, address and user
    // name. Never a password. A position no node holds has none.
    std::vector<std::string> texts;
    // Just made by the user: stays visible, with the way to it open, though it does not match.
    bool keepShown = false;
};

struct FilterPlan {
    std::vector<bool> visible;   // for each node
    std::vector<bool> expanded;  // for each node: a group opened to show what lies below it
};

// The plan for a folded query (see FoldForSearch). A node matches when one of its texts
// contains the query. A matching node and everything below it stay visible, and so does every
// group on the way to it; those groups are opened. An empty query hides nothing and opens
// nothing; no query at all (the typed text holds a character no stored text can hold) matches
// nothing. Parents may come before or after their children in the list.
FilterPlan PlanFilter(const std::vector<FilterNode>& nodes,
                      const std::optional<std::string>& foldedQuery);

}  // namespace keyrack
