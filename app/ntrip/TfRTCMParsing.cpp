#include "app/ntrip/TfRTCMParsing.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ErrorBoundary.h"
#include "platform/FileIO.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

#include <filesystem>
#include <stdexcept>

TfRTCMParsing* fRTCMParsing = nullptr;

namespace {
constexpr int ClientWidth = 624;
constexpr int ClientHeight = 441;
} // namespace

TfRTCMParsing::TfRTCMParsing(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("fRTCMParsing"));
    setWindowTitle(QStringLiteral("RTCM Message Parser"));
    setFont(QFont(QStringLiteral("Segoe UI"), 9));

    MemoRTCM = new QPlainTextEdit(this);
    MemoRTCM->setObjectName(QStringLiteral("MemoRTCM"));
    QFont fixed(QStringLiteral("Consolas"), 9);
    fixed.setStyleHint(QFont::Monospace);
    MemoRTCM->setFont(fixed);
    MemoRTCM->setReadOnly(true);
    MemoRTCM->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoRTCM->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoRTCM->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    btnClear = new QPushButton(QStringLiteral("Clear"), this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnClose = new QPushButton(QStringLiteral("Save && Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    connect(btnClear, &QPushButton::clicked, this, &TfRTCMParsing::btnClearClick);
    connect(btnClose, &QPushButton::clicked, this, &TfRTCMParsing::btnCloseClick);
    resize(ClientWidth, ClientHeight);
}

void TfRTCMParsing::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!MemoRTCM)
        return;
    // The memo is anchored on all four sides, Clear to the left and bottom, Save & Close to
    // the right and bottom, all at their designed distances from the edges.
    const int w = width();
    const int h = height();
    MemoRTCM->setGeometry(8, 8, w - 16, h - 48);
    btnClear->setGeometry(8, h - 34, 75, 25);
    btnClose->setGeometry(w - 136, h - 34, 128, 25);
}

void TfRTCMParsing::AddReportLine(const std::string& text) {
    lines_.push_back(text);
    // Bytes as they stand: each one is one character of the display.
    MemoRTCM->appendPlainText(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void TfRTCMParsing::ClearReport() {
    lines_.clear();
    MemoRTCM->clear();
}

void TfRTCMParsing::btnClearClick() {
    ClearReport();
}

std::string TfRTCMParsing::ReportFilePath() {
    const std::string date = DateText(Clock::now());
    return AppPaths::dataRoot() + date + "/LOG/" + date + " Tavrin RTCM Parsing.log";
}

void TfRTCMParsing::saveReport() const {
    namespace fs = std::filesystem;
    const std::string path = ReportFilePath();
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    std::string why;
    if (!WriteFileAtomically(path, text, &why))
        throw std::runtime_error("The RTCM report could not be saved: " + why);
}

void TfRTCMParsing::btnCloseClick() {
    ErrorBoundary::run([this] {
        if (!lines_.empty())
            saveReport();
        hide();
    });
}
