#pragma once

#include <QWidget>

class QPlainTextEdit;
class QTimer;

// A transient, always-on-top list of messages from the devices and the acquisition button.
// It hides itself 4 seconds after it appeared; the lines stay until the operator clicks them.
class TFMsg : public QWidget {
    Q_OBJECT
public:
    explicit TFMsg(QWidget* parent = nullptr);

    // Appends a line and shows the window. A window already showing stays so, and the time it
    // has left is not renewed.
    void AddMessage(const QString& line);

    QPlainTextEdit* Msg = nullptr;
    QTimer* Timer1 = nullptr;

    void FormShow();
    void FormHide();
    void Timer1Timer();
    void MsgClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TFMsg* FMsg;
