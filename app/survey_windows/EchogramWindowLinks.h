#pragma once

class QTimer;

// What the echogram window reaches outside itself: the main window's echogram tick, whose
// interval it sets. The main window answers.
class EchogramWindowLinks {
public:
    virtual ~EchogramWindowLinks() = default;
    // Null while there is no main window.
    virtual QTimer* EchogramTimer() = 0;
};
