#pragma once

#include <exception>
#include <functional>

// Thrown to end a handler without any message: the operator has been told already (a rejected
// field shows its message, takes the focus, then aborts).
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "aborted"; }
};

[[noreturn]] void Abort();

// Qt lets no exception cross its event loop: every handler of an operator's action that can
// fail runs inside this boundary. An exception is shown in an error message and ends the
// handler; SilentAbort ends it quietly.
class ErrorBoundary {
public:
    // Returns true when the handler ran to its end.
    static bool run(const std::function<void()>& handler);
};
