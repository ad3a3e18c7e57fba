#pragma once

// A restart is asked for by the main window and carried out by the program entry once the
// message loop has ended and the windows are destroyed: by then the closing steps have written
// the auto-save and the settings and the ports are closed, so the new instance finds them.
void RequestRestart();
bool RestartRequested();
// Starts the program's own executable anew (no arguments) when a restart was asked for, and
// clears the request. A start that fails goes to the day's events log. True when started.
bool StartRequestedRestart();
