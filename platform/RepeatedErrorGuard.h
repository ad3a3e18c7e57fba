#pragma once

#include <QString>

#include <functional>

// For handlers that run on timers and on device lines: an error must not become a stream of
// modal boxes on a moving boat. The first error of a spell is reported (to the message window
// and the events log, through the sink); later ones are counted quietly until a run completes,
// which ends the spell.
class RepeatedErrorGuard {
public:
    using Sink = std::function<void(const QString& text)>;

    explicit RepeatedErrorGuard(QString source);

    // Returns true when the handler ran to its end. SilentAbort ends it without a report.
    bool run(const std::function<void()>& handler);

    bool inSpell() const { return inSpell_; }
    // Errors swallowed since the spell's first report.
    int suppressed() const { return suppressed_; }

    // Where reports go. The default appends to the day's events log and prints to stderr;
    // the main window adds its message window.
    static void setSink(Sink sink);
    static void report(const QString& text);

private:
    void fail(const QString& what);

    QString source_;
    bool inSpell_ = false;
    int suppressed_ = 0;
};
