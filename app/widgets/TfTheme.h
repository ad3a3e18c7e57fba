#pragma once

#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class ThemeWindowLinks;

// Chooses the visual style of the whole user interface. A style chosen in the list is applied
// at once as a preview; "Save && Exit" keeps it for the next start, "Cancel" returns to the
// style that was active when the window was shown. The map takes each style's panel colour as
// its background. Closing with the title bar keeps the preview for this run only; Escape is
// "Cancel".
class TfTheme : public QWidget {
    Q_OBJECT
public:
    explicit TfTheme(ThemeWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The map's background and the main window the window opens over.
    ThemeWindowLinks* const Links;

    QGroupBox* gThemeFrame = nullptr;
    QListWidget* lbThemeList = nullptr;
    QLabel* lInfo = nullptr;
    QPushButton* bSaveExit = nullptr;
    QPushButton* bCancel = nullptr;

    // The style active when the window was last shown; empty until then.
    QString ThemeAtShow;

    void FormShow();
    void lbThemeListClick();
    void bSaveExitClick();
    void bCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

extern TfTheme* fTheme;
