#pragma once

#include <QKeySequence>

#include <vector>

// Several menu items show the same key. Qt would make such a key ambiguous and fire none of
// them, so the first item in menu order takes it and the later ones only show it.
// Returns, for each item in menu order, whether it takes its key (false for items without one).
std::vector<bool> ResolveShortcuts(const std::vector<QKeySequence>& keysInMenuOrder);
