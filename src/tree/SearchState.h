#pragma once

#include <QString>
#include <string>
#include <unordered_set>
#include <vector>

#include "tree/TreeFilter.h"

class QTimer;

namespace keyrack {

// What the main window's search box keeps between keystrokes. Vectors are indexed like the
// tree's nodes, by the order they were added (from 1).
struct SearchState {
    QTimer* typingPause = nullptr;  // restarted by every keystroke: fast typing filters once
    QString query;                  // the text the tree is filtered by
    bool filtering = false;         // some nodes may be hidden and groups opened by the search
    // Each node's texts, folded; taken at the first search after the tree was loaded and again
    // when the node's text changes (see ForgetTexts).
    std::vector<FilterNode> nodes;
    std::vector<bool> textsTaken;
    std::vector<bool> hidden;  // what the search has hidden
    // Keys of the groups that were open before the search began.
    std::unordered_set<std::string> openBefore;
    // Keys of nodes the user made while the query stays the same.
    std::unordered_set<std::string> keptShown;

    // The node's text or record was changed: its texts are taken again.
    void ForgetTexts(int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < textsTaken.size()) {
            textsTaken[static_cast<std::size_t>(index)] = false;
        }
    }

    // The tree is being rebuilt: no node's texts or flags carry over.
    void ForgetNodes() {
        nodes.clear();
        textsTaken.clear();
        hidden.clear();
    }
};

}  // namespace keyrack
