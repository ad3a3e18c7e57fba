#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class SoundVelocityLinks;
class TLabeledEdit;
class TfSVPGraph;

// The survey's sound velocity profile: loads a cast, builds the velocity column in three steps
// and says whether soundings are corrected with it ("Use Sound Velocity Profile").
//
// The column the sounder uses is kept apart from the list on screen: it changes only when the
// list holds a complete, valid column, so rebuilding a profile (which empties the list) while
// the box stays checked never leaves soundings without a velocity.
class TfSVP : public QWidget {
    Q_OBJECT
public:
    explicit TfSVP(SoundVelocityLinks* links = nullptr, QWidget* parent = nullptr);

    // The set-up window, the message window and the project, as far as the window reaches them.
    SoundVelocityLinks* const Links;
    // The graph editor made at start, reused by every opening; null until the program start
    // hands it over and again once it is gone.
    QPointer<TfSVPGraph> GraphEditor;

    QToolButton* BitBtn1 = nullptr;
    QToolButton* bGraph = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    TLabeledEdit* eSearchString = nullptr;
    TLabeledEdit* eMaxDepth = nullptr;
    QRadioButton* rSVFirst = nullptr;
    QRadioButton* rDFirst = nullptr;
    QMenu* mDefault = nullptr;
    // The working lists: raw data, extracted values, averaged values, velocity column.
    QPlainTextEdit* mRawSVData = nullptr;
    QPlainTextEdit* mRawSVExtracted = nullptr;
    QPlainTextEdit* mSortedAveragedSV = nullptr;
    QPlainTextEdit* mSVPColumn = nullptr;
    QToolButton* bRawToSVV = nullptr;
    QToolButton* bSVVtoAveragedSV = nullptr;
    QToolButton* bAveragedSVtoSVP = nullptr;
    // Checked, depths are corrected with the velocity column.
    QCheckBox* cUseSVP = nullptr;
    QPushButton* bSaveClose = nullptr;
    // Which column the sounder uses: its depth range and when it was taken up. Set while
    // running, in the interface's language, and set again after a language switch.
    QLabel* lColumnInUse = nullptr;

    // Where the undated list files live; the executable's folder unless a test sets another.
    std::string ProgramFolder;

    // The velocity column soundings are corrected with: null when "Use Sound Velocity Profile"
    // is unchecked or no valid column was ever taken up. Line k is the mean velocity from the
    // surface to k m.
    const std::vector<std::string>* VelocityColumnInUse() const;

    // Name of the loaded profile file, for messages.
    std::string LoadedFileName;
    // Shows the set-up window which velocity is used: its single velocity field disabled and
    // its button captioned "SVP Profile Used" while the profile is, else "Single SV Used".
    void ApplyUseToSetupWindow();
    // Says in `lColumnInUse` which column depths are corrected with, in the interface's
    // language.
    void ShowColumnInUse();

    // Writes the four lists, in the order above, each as plain text lines to `prefix` followed
    // by " mRawSVData.ini" (" mRawSVExtracted.ini", " mSortedAveragedSV.ini",
    // " mSVPColumn.ini"); each file is replaced whole or not at all. Stops at the first list
    // that cannot be written: false, and `error` says which and why.
    bool SaveWorkingLists(const std::string& prefix, std::string* error = nullptr) const;

    // Writes the [SVP] settings; also called when the program ends, since the main window's
    // shut-down does not close this window.
    void SaveSettings() const;

    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void BitBtn1Click();
    void cUseSVPClick();
    void BitBtn2Click();
    void bGraphClick();
    void bRawToSVVClick();
    void bSVVtoAveragedSVClick();
    void bAveragedSVtoSVPClick();
    void AutoDedetct1Click();
    void Defaults1Click();
    void eSearchStringDblClick();

    // The averaged list was changed by the graph editor: the column is emptied and must be
    // built again before Save && Close.
    void AveragedListEdited(const std::vector<std::string>& averaged);

    static std::vector<std::string> ListLines(const QPlainTextEdit* list);
    static void SetListLines(QPlainTextEdit* list, const std::vector<std::string>& lines);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool English() const;
    // Max Depth as typed, or false after saying why (checked before any list is emptied).
    bool ReadMaxDepth(int& maxDepth) const;
    void SvpColumnChanged();

    std::vector<std::string> columnInUse_;
    std::string columnTakenAt_;
    bool updatingUse_ = false;
};

extern TfSVP* fSVP;
