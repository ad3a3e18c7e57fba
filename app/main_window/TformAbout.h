#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;

// The program's name and version, shown modally from the main window's Help menu.
class TformAbout : public QDialog {
    Q_OBJECT
public:
    explicit TformAbout(const QWidget* owner = nullptr, QWidget* parent = nullptr);

    // The window the box opens over, centred; none leaves the place to the window system.
    const QPointer<const QWidget> Owner;

    QFrame* Panel4 = nullptr;
    QLabel* SoftName = nullptr;
    QLabel* Version = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

extern TformAbout* formAbout;
