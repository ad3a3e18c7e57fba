#pragma once

#include "survey/SurveySetup.h"

#include <QDialog>

#include <functional>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class SetUpWindowLinks;

// Survey set-up: the offsets between transducer, water surface and GNSS antenna, the single
// sound velocity, the manual tide and the survey's names. "Realtime" checks them, records them
// in the day's offsets log and the settings file, and starts acquisition.
//
// The fields hold what the operator is typing; acquisition never reads them. It reads
// AcceptedSetup(), which only ever holds values that passed every check.
class TOffsets : public QDialog {
    Q_OBJECT
public:
    explicit TOffsets(SetUpWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The project, Start, the other windows and the keyboards, as far as the set-up reaches them.
    SetUpWindowLinks* const Links;

    // The set-up that acquisition corrects soundings with: set by an accepted "Realtime" and,
    // at creation, from stored values that pass the numeric checks. Empty otherwise, and then
    // no sounding may be corrected.
    const std::optional<AcceptedSurveySetup>& AcceptedSetup() const { return accepted_; }

    // The fields' texts as they stand (UTF-8).
    SetupFieldTexts FieldTexts() const;

    // The sketch of the offsets.
    QFrame* pSketch = nullptr;
    QLabel* Image1 = nullptr;
    // Transducer draft, transducer to antenna, antenna above water (m).
    QLineEdit* OffsetA = nullptr;
    QLineEdit* OffsetB = nullptr;
    QLineEdit* OffsetC = nullptr;
    // The single sound velocity (m/s). The sound velocity window disables it while a profile is
    // in use; the stored and checked value stays this field's text all the same.
    QLineEdit* SV = nullptr;
    QLineEdit* TideHt = nullptr;
    QLineEdit* Location = nullptr;
    QLineEdit* SurveyBoat = nullptr;
    QLineEdit* Surveyor = nullptr;
    // The clock label: "Time" until the first tick of Timer1.
    QLabel* time = nullptr;
    // "Sound Velocity Profile": shows the sound velocity window, which may change its caption.
    QPushButton* bSVP = nullptr;
    QPushButton* BitBtn1 = nullptr; // "Realtime"
    QPushButton* BitBtn3 = nullptr; // "Cancel" (Esc)
    QPushButton* bNTRIPShow = nullptr;
    QTimer* Timer1 = nullptr;

    // Asked when the offsets log is written: while it says a sound velocity profile is in use,
    // line 7 of the block ("Sound Velocity") names the profile instead of the SV text. The sound
    // velocity window sets it to read its "Use Sound Velocity Profile" box.
    std::function<bool()> SoundVelocityProfileInUse;

    void FormShow();
    void Timer1Timer();
    void BitBtn1Click();
    void BitBtn3Click();
    void FormCloseQuery();
    void FormDblClick();
    void bSVPClick();
    void bNTRIPShowClick();
    // A click on a field: the main window's numeric keypad for the numbers, its letter keyboard
    // for the names, both pointed at the field.
    void FieldClick(QLineEdit* field);
    // Leaving a numeric field: a text that is not a number is shown and takes the focus back.
    void OffsetAExit();
    void OffsetBExit();
    void OffsetCExit();
    void SVExit();
    void TideHtExit();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void numericFieldExit(QLineEdit* field);
    QLineEdit* fieldOf(SurveySetupField field) const;
    SetupLanguage language() const;

    std::optional<AcceptedSurveySetup> accepted_;
    // The message box of a field check takes the focus, which leaves the field again.
    bool checkingField_ = false;
};

extern TOffsets* Offsets;
