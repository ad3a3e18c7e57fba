#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QPlainTextEdit;

// The sound velocity profile of the survey.
// For now the window holds its four working lists and the "Use Sound Velocity Profile" box,
// which the project save reads; the rest of its controls and handlers come with its own work.
class TfSVP : public QWidget {
    Q_OBJECT
public:
    explicit TfSVP(QWidget* parent = nullptr);

    // The working lists: raw data, extracted values, averaged values, velocity column.
    QPlainTextEdit* mRawSVData = nullptr;
    QPlainTextEdit* mRawSVExtracted = nullptr;
    QPlainTextEdit* mSortedAveragedSV = nullptr;
    QPlainTextEdit* mSVPColumn = nullptr;
    // Checked, depths are corrected with the velocity column.
    QCheckBox* cUseSVP = nullptr;

    // Writes the four lists, in the order above, each as plain text lines to `prefix` followed
    // by " mRawSVData.ini" (" mRawSVExtracted.ini", " mSortedAveragedSV.ini",
    // " mSVPColumn.ini"); each file is replaced whole or not at all. Stops at the first list
    // that cannot be written: false, and `error` says which and why.
    bool SaveWorkingLists(const std::string& prefix, std::string* error = nullptr) const;
};

extern TfSVP* fSVP;
