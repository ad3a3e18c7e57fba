#pragma once

#include <functional>

// The requests to end that reach the program as signals: SIGTERM (a plain kill, the system
// shutting down), SIGHUP (the terminal closed) and SIGINT (Ctrl+C). Their default action ends
// the process at once, losing whatever the closing steps would have written. Once installed,
// the handler only writes the signal's number into a pipe; the event loop reads it and calls
// the callback on the user-interface thread, where the closing steps may run.
class EndSignals {
public:
    // Installs the handlers (replacing an earlier callback). False when the pipe or a handler
    // cannot be set up; the signals then keep their default action.
    static bool install(std::function<void(int signalNumber)> onEndRequest);
    // Puts the default actions back and closes the pipe.
    static void uninstall();
};
