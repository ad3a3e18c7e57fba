#include "app/main_window/MenuShortcuts.h"

std::vector<bool> ResolveShortcuts(const std::vector<QKeySequence>& keysInMenuOrder) {
    std::vector<bool> takes(keysInMenuOrder.size(), false);
    std::vector<QKeySequence> taken;
    for (size_t i = 0; i < keysInMenuOrder.size(); ++i) {
        const QKeySequence& key = keysInMenuOrder[i];
        if (key.isEmpty())
            continue;
        bool alreadyTaken = false;
        for (const QKeySequence& other : taken)
            alreadyTaken = alreadyTaken || other.matches(key) == QKeySequence::ExactMatch;
        if (!alreadyTaken) {
            taken.push_back(key);
            takes[i] = true;
        }
    }
    return takes;
}
