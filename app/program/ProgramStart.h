#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

// What the program entry reads before any window exists.
struct EntrySettings {
    QString ThemeStyle; // [APPLICATION] "ThemeStyle"
};

// Reads the style name and the overlay settings (into the shared display settings).
EntrySettings ReadEntrySettings();

// Applies the stored style unless it names the built-in look; a style that cannot be applied
// is reported and leaves the built-in look.
void ApplyStartStyle(const QString& styleName);

// Creates every window of the program in its place in the start-up order, each reachable
// through its global pointer: the main window first, then the tool windows. The application
// owns them; closing the main window ends the program, closing a tool window does not.
// From then on repeated errors of timer and device-line handlers go to the message window and
// the day's events log.
void CreateApplicationWindows();

// The windows CreateApplicationWindows made, in creation order.
const std::vector<QWidget*>& ApplicationWindows();

// Destroys the windows in the reverse order of their creation and clears their pointers;
// repeated errors go to the events log alone again.
void DestroyApplicationWindows();

// Ends the program as the operator's close of the main window does: the closing steps run
// once (a second request while they run changes nothing), then the event loop ends, whatever
// other window is still open.
void EndProgramOrderly();

// Routes the requests to end from outside to EndProgramOrderly: SIGTERM, SIGHUP and SIGINT,
// and the desktop session's end. A signal that arrives before the event loop runs is handled
// as soon as it does. StopWatchingEndRequests gives the signals their default action back.
void WatchEndRequests();
void StopWatchingEndRequests();

// Runs the body of the program entry. An exception that reaches here is shown to the operator
// and the program ends with a non-zero code, so that a failed start never passes for a clean
// end.
int RunProgramEntry(const std::function<int()>& body);
