#include "platform/WindowStacking.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

bool StaysOnTop(const QWidget* window) {
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// A shown window of the program that a modal window may belong over. The on-screen keyboards
// take no focus and go with the field they type into, so nothing belongs to them.
bool Shown(const QWidget* window, const QWidget* except) {
    if (!window || window == except || !window->isWindow() || !window->isVisible() ||
        window->isMinimized())
        return false;
    switch (window->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen:
    case Qt::Desktop:
        return false;
    default:
        break;
    }
    return !window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus);
}

// The first shown window (that stays on top, with `onTopOnly`); a tool palette only when no
// other window qualifies, since a box belonging to it opens over that small window.
QWidget* FirstShown(const QWidget* except, bool onTopOnly) {
    QWidget* palette = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!Shown(window, except) || (onTopOnly && !StaysOnTop(window)))
            continue;
        if (window->windowType() != Qt::Tool)
            return window;
        if (!palette)
            palette = window;
    }
    return palette;
}

// What a modal showing changed on a window, taken back once the window is hidden: its
// modality, the stay-on-top flag it did not have, and the window it belonged to. One per
// window, so that a window shown modally again before that keeps what it had at first.
class ModalShowing final : public QObject {
public:
    explicit ModalShowing(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("ModalShowing"));
        window->installEventFilter(this);
    }

    static ModalShowing* of(QWidget* window) {
        if (auto* kept = window->findChild<ModalShowing*>(QStringLiteral("ModalShowing"),
                                                          Qt::FindDirectChildrenOnly))
            return kept;
        return new ModalShowing(window);
    }

    void begin(QWidget* owner) {
        if (!active_) {
            modality_ = window_->windowModality();
            addedOnTop_ = false;
            transientSet_ = false;
            transient_ = nullptr;
            active_ = true;
        }
        // Over a window that stays on top a modal window that does not would open underneath.
        bool onTopShown = false;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (Shown(window, window_) && StaysOnTop(window))
                onTopShown = true;
        if (onTopShown && !window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            // A window already shown modally is hidden by the change and shown again by the
            // caller: that hide does not end its showing.
            beginning_ = true;
            window_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            beginning_ = false;
            addedOnTop_ = true;
        }
        // A window without a parent belongs to no other window; the window manager keeps it
        // over the one it is made transient for.
        if (!window_->parentWidget()) {
            window_->winId();
            if (QWindow* handle = window_->windowHandle()) {
                if (!transientSet_) {
                    transient_ = handle->transientParent();
                    transientSet_ = true;
                }
                handle->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
            }
        }
        window_->setWindowModality(Qt::ApplicationModal);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // At once, not later: a command may show the window again, not modally, right after.
        if (watched == window_ && active_ && !beginning_ && event->type() == QEvent::Hide &&
            !event->spontaneous())
            end();
        return false;
    }

private:
    void end() {
        if (!active_ || !window_->isHidden())
            return;
        active_ = false;
        window_->setWindowModality(modality_);
        if (addedOnTop_)
            window_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        if (transientSet_)
            if (QWindow* handle = window_->windowHandle())
                handle->setTransientParent(transient_);
    }

    QWidget* window_;
    bool active_ = false;
    bool beginning_ = false;
    Qt::WindowModality modality_ = Qt::NonModal;
    bool addedOnTop_ = false;
    bool transientSet_ = false;
    QPointer<QWindow> transient_;
};

// A window shown in front has no window of the program over it while it is shown, also when
// another window stays on top: it stays on top itself for that showing (the window manager
// then keeps the one raised last in front). Given back when the window is hidden.
class InFrontShowing final : public QObject {
public:
    explicit InFrontShowing(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QStringLiteral("InFrontShowing"));
        window->installEventFilter(this);
    }

    static InFrontShowing* of(QWidget* window) {
        if (auto* kept = window->findChild<InFrontShowing*>(QStringLiteral("InFrontShowing"),
                                                            Qt::FindDirectChildrenOnly))
            return kept;
        return new InFrontShowing(window);
    }

    void begin() {
        if (StaysOnTop(window_) || !otherOnTopShown())
            return;
        // The flag changes only on a hidden window; a shown one comes back at once, where it
        // stood. A window shown modally is in front already, and hiding it would end that.
        const bool shown = window_->isVisible();
        if (shown && window_->windowModality() == Qt::ApplicationModal)
            return;
        const QPoint place = window_->pos();
        changing_ = true;
        window_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        changing_ = false;
        addedOnTop_ = true;
        if (shown) {
            window_->show();
            // Where the operator may have moved it, whatever its showing does.
            window_->move(place);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A minimised window keeps it for when it comes back.
        if (watched == window_ && addedOnTop_ && !changing_ && event->type() == QEvent::Hide &&
            !event->spontaneous()) {
            addedOnTop_ = false;
            changing_ = true;
            window_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
            changing_ = false;
        }
        return false;
    }

private:
    bool otherOnTopShown() const {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (Shown(window, window_) && StaysOnTop(window))
                return true;
        return false;
    }

    QWidget* window_;
    bool addedOnTop_ = false;
    bool changing_ = false;
};

} // namespace

void WindowStacking::showInFront(QWidget* window) {
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    InFrontShowing::of(window)->begin();
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowStacking::showModal(QWidget* window) {
    if (!window)
        return;
    // The modality of a shown window changes only at its next showing.
    if (window->isVisible() && window->windowModality() != Qt::ApplicationModal)
        window->hide();
    ModalShowing::of(window)->begin(topmostWindow(window));
    showInFront(window);
}

int WindowStacking::execModal(QDialog* dialog) {
    if (!dialog)
        return QDialog::Rejected;
    ModalShowing::of(dialog)->begin(topmostWindow(dialog));
    // exec() shows the dialog; once it is shown it is brought to the front.
    QTimer::singleShot(0, dialog, [dialog] {
        dialog->raise();
        dialog->activateWindow();
    });
    return dialog->exec();
}

QWidget* WindowStacking::topmostWindow(const QWidget* except) {
    if (QWidget* modal = QApplication::activeModalWidget(); Shown(modal, except))
        return modal;
    QWidget* onTop = FirstShown(except, true);
    QWidget* active = QApplication::activeWindow();
    if (Shown(active, except) && (!onTop || StaysOnTop(active)))
        return active;
    if (onTop)
        return onTop;
    if (Shown(active, except))
        return active;
    return FirstShown(except, false);
}
