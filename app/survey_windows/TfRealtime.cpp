#include "app/survey_windows/TfRealtime.h"

#include "app/survey_windows/RealtimeWindowLinks.h"
#include "app/widgets/DesignedColours.h"
#include "app/widgets/KeptFaceGroupBox.h"
#include "app/widgets/ToolIcons.h"

#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FormState.h"
#include "platform/Shell.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfRealtime* fRealtime = nullptr;

namespace {

constexpr int clientWidth = 192;

QFont ValueFont(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    SetDesignedTextColour(label, colour);
}

QGroupBox* DepthFrame(QWidget* parent, const char* name, const char* caption, QLabel*& value,
                      const char* valueName, const QColor& colour, int top) {
    auto* frame = new KeptFaceGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(2, top, clientWidth - 4, 96);
    TfRealtime::SetBoxColour(frame, colour);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 2, 2, 2);
    value = new QLabel(QStringLiteral("---"), frame);
    value->setObjectName(QString::fromLatin1(valueName));
    // A value set while running, not a caption: the translation walk passes it by.
    value->setProperty("designClass", QStringLiteral("TPanel"));
    value->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPixelSize(52);
    font.setBold(true);
    value->setFont(font);
    SetTextColour(value, Qt::black);
    layout->addWidget(value);
    return frame;
}

} // namespace

TfRealtime::TfRealtime(RealtimeWindowLinks* links, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Links(links) {
    setObjectName(QStringLiteral("fRealtime"));
    setWindowTitle(QStringLiteral("Realtime Data"));
    SetDesignedBackground(this, Qt::white);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(0, 0, clientWidth, 30);
    const auto addButton = [this](QToolButton*& button, const char* name, const char* hint,
                                  ToolImage image, void (TfRealtime::*handler)()) {
        button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        button->setIcon(ToolIcon(image));
        button->setFixedSize(30, 26);
        ToolBar1->addWidget(button);
        connect(button, &QToolButton::clicked, this,
                [this, handler] { ErrorBoundary::run([this, handler] { (this->*handler)(); }); });
    };
    addButton(btHide, "btHide", "Hide Window", ToolImage::HideWindow, &TfRealtime::btHideClick);
    addButton(ToolButton2, "ToolButton2", "Navigation Settings", ToolImage::NavigationSettings,
              &TfRealtime::ToolButton2Click);
    addButton(ToolButton3, "ToolButton3", "GPS Settings", ToolImage::GpsSettings,
              &TfRealtime::ToolButton3Click);
    ToolBar1->addSeparator();
    addButton(btOpenLogFolder, "btOpenLogFolder", "Open Log Folder", ToolImage::OpenFolder,
              &TfRealtime::btOpenLogFolderClick);
    addButton(btShowOffsets, "btShowOffsets", "Show Offsets", ToolImage::ShowOffsets,
              &TfRealtime::btShowOffsetsClick);

    // The boxes' labels change several times a second: the boxes keep their faces.
    GPSGroupBox = new KeptFaceGroupBox(QStringLiteral(" GPS Status "), this);
    GPSGroupBox->setObjectName(QStringLiteral("GPSGroupBox"));
    GPSGroupBox->setGeometry(2, 32, clientWidth - 4, 157);
    GPSGroupBox->setAutoFillBackground(true);
    auto* grid = new QGridLayout(GPSGroupBox);
    int row = 0;
    const auto addPair = [this, grid, &row](const char* caption, QLabel*& value, const char* name) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), GPSGroupBox), row, 0);
        value = new QLabel(QStringLiteral("---"), GPSGroupBox);
        value->setObjectName(QString::fromLatin1(name));
        value->setProperty("designClass", QStringLiteral("TPanel"));
        grid->addWidget(value, row++, 1);
    };
    addPair("Fix Type", Fixed, "Fixed");
    addPair("Speed", Speed, "Speed");
    addPair("Satellites", SatelliteLabel, "SatelliteLabel");
    addPair("Antenna Ht.", LAntennaH, "LAntennaH");
    addPair("Tide Ht.", LTideHt, "LTideHt");
    Speed->setFont(ValueFont(19));
    SetTextColour(Speed, QColor(0, 0, 128));
    LTideHt->setFont(ValueFont(19));
    SetTextColour(LTideHt, QColor(0, 128, 128));

    DepthFrameHi = DepthFrame(this, "DepthFrameHi", " Depth (High Freq.) ", lDepthHi, "lDepthHi",
                              QColor(0, 255, 0), HeightWithoutDepths);
    DepthFrameLo = DepthFrame(this, "DepthFrameLo", " Depth (Low Freq.) ", lDepthLo, "lDepthLo",
                              QColor(255, 255, 0), HeightWithHighDepth);

    resize(clientWidth, 382);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, [this] { ErrorBoundary::run([this] { Timer1Timer(); }); });
    Timer1->start();
}

void TfRealtime::ShowLowFreqFrame() {
    if (!DepthFrameLo->isHidden())
        return;
    DepthFrameLo->setVisible(true);
    resize(width(), HeightWithBothDepths);
}

void TfRealtime::HideLowFreqFrame() {
    if (DepthFrameLo->isHidden())
        return;
    DepthFrameLo->setVisible(false);
    resize(width(), HeightWithHighDepth);
}

void TfRealtime::Timer1Timer() {
    if (Timer1) {
        Timer1->deleteLater();
        Timer1 = nullptr;
    }
    // The delayed run, not an operator's pick: an "OTHER" format stays.
    if (Links)
        Links->DelayedSounderTypeRun();
}

void TfRealtime::SetBoxColour(QGroupBox* box, const QColor& colour) {
    // The status colours are bright: the box's caption stays dark on them in every theme.
    const QColor caption = ReadableOn(Qt::black, colour);
    QPalette palette = box->palette();
    // Every sounding and every GNSS line names a colour; the box and the texts in it are
    // worked out again only when it differs from what the box shows (a theme change reapplies
    // the texts' colours on its own).
    const bool shown = box->autoFillBackground() &&
                       palette.isBrushSet(QPalette::Active, QPalette::Window) &&
                       palette.color(QPalette::Window) == colour &&
                       palette.color(QPalette::WindowText) == caption;
    if (shown)
        return;
    box->setAutoFillBackground(true);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, caption);
    box->setPalette(palette);
    ReapplyDesignedColours(box);
}

void TfRealtime::SetbtHideImageIndex(int index) {
    hideImageIndex_ = index;
    btHide->setIcon(ToolIcon(index == 1 ? ToolImage::ShowWindow : ToolImage::HideWindow));
}

void TfRealtime::FormShow() {
    RestoreFormState(this, 0);
}

void TfRealtime::btHideClick() {
    if (!Links)
        return;
    // The window is hidden in the compact view, so the main window normally leads back; a
    // click that still arrives takes the same way.
    if (hideImageIndex_ == 1)
        Links->RestoreChrome();
    else
        Links->HideChrome();
}

void TfRealtime::ToolButton2Click() {
    if (Links)
        Links->ZoomIn();
}

void TfRealtime::ToolButton3Click() {
    if (Links)
        Links->ZoomOut();
}

void TfRealtime::btOpenLogFolderClick() {
    // The folder of the GNSS raw log when there is one, else the day's log folder; then the
    // day folder above it.
    QString folder = QString::fromStdString(LogFolder);
    const std::string gnssLog = Links ? Links->GnssLogFileName() : std::string();
    if (!gnssLog.empty())
        folder = QFileInfo(QString::fromStdString(gnssLog)).path() + '/';
    QString trimmed = folder;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const int slash = trimmed.lastIndexOf(QLatin1Char('/'));
    QString parent = slash > 0 ? trimmed.left(slash) : QString();
    if (parent.isEmpty())
        parent = folder;
    if (!QDir().mkpath(parent)) {
        Dialogs::showError(QStringLiteral("The folder %1 cannot be created.").arg(parent));
        return;
    }
    if (!Shell::openFolder(parent))
        Dialogs::showError(QStringLiteral("The folder %1 cannot be opened.").arg(parent));
}

void TfRealtime::btShowOffsetsClick() {
    if (Links)
        Links->ShowSetUp();
}

void TfRealtime::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        ErrorBoundary::run([this] { FormShow(); });
}
