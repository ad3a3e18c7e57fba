#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

// The RTCM report window: shows one report at a time, clears it, or saves it to the day's LOG
// folder. Closing it by its title bar hides it without saving.
class TfRTCMParsing : public QWidget {
    Q_OBJECT

public:
    explicit TfRTCMParsing(QWidget* parent = nullptr);

    // Appends one line (8-bit text, shown byte for byte) at the end of the report.
    void AddReportLine(const std::string& text);
    void ClearReport();
    // The report's lines exactly as added.
    const std::vector<std::string>& reportLines() const { return lines_; }

    // <data root>/<date>/LOG/<date> Tavrin RTCM Parsing.log for the current date.
    static std::string ReportFilePath();

    QPlainTextEdit* MemoRTCM = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnClose = nullptr;

public slots:
    void btnClearClick();
    // Saves the report (when it has lines), replacing the day's report file, then hides the
    // window. A failed save is reported and leaves the window open.
    void btnCloseClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void saveReport() const;

    std::vector<std::string> lines_;
};

// The one report window, created at start; the report command creates it when it is missing.
extern TfRTCMParsing* fRTCMParsing;
