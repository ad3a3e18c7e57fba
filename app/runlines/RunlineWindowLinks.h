#pragma once

class TTavrinCanvas;

// What the run-line window reaches outside itself: the map it reads the route from and draws
// the lines on. The main window answers.
class RunlineWindowLinks {
public:
    virtual ~RunlineWindowLinks() = default;
    // Null while there is no map.
    virtual TTavrinCanvas* Map() = 0;
};
