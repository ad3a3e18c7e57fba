#pragma once

class QDialog;
class QWidget;

// The one way the program brings a window in front of the operator. A modal window or dialog
// opens in front of every window of the program, the ones that stay on top included, and takes
// the keyboard at once: it belongs to the topmost window of the program (the window manager
// keeps it over that one), it stays on top itself while a window that stays on top is shown,
// and it is raised and activated. What a modal showing changed on a window is given back when
// the window is hidden.
class WindowStacking {
public:
    // Shows the window, or brings it to the front when it is already open: a window shown by a
    // command or an alert. While it is active no window of the program is over it, the ones that
    // stay on top included.
    static void showInFront(QWidget* window);
    // Shows the window modal to the whole program, in front, without waiting for it to close.
    static void showModal(QWidget* window);
    // Runs the dialog modally, in front; its result.
    static int execModal(QDialog* dialog);
    // The window of the program a new modal window belongs over: a modal window already shown,
    // else the active window when no other window stays on top of it, else a shown window that
    // stays on top, else any shown window; nullptr when none is shown. Never `except`.
    static QWidget* topmostWindow(const QWidget* except = nullptr);
};
