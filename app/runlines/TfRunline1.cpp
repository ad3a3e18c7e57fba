#include "app/runlines/TfRunline1.h"

#include "app/widgets/DesignedColours.h"

#include "app/runlines/RunlineWindowLinks.h"
#include "survey/RunlineGeometry.h"

#include "canvas/TTavrinCanvas.h"

#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

TfRunline1* fRunline1 = nullptr;

namespace {

const QString Section = QStringLiteral("RUNLINE");
const QString RouteLayerName = QStringLiteral("Tavrin_Route");
const QString RunlineLayerName = QStringLiteral("Tavrin_Runlines");
const QString TooManyLinesText = QStringLiteral("Too many lines (more than 10000)");

constexpr double DefaultSpacing = 10;
constexpr double DefaultLength = 100;

// A colour value 0x00BBGGRR as a Qt colour.
QColor colourOf(uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

TTavrinCanvas* mapCanvas(RunlineWindowLinks* links) {
    return links ? links->Map() : nullptr;
}

// A text that is not a number (empty, "abc", "nan", "1e999") takes the default, and so does a
// number that is not positive.
double positiveOr(const QString& text, double fallback) {
    double value = fallback;
    if (!ParseNumber(text, value) || !(value > 0))
        value = fallback;
    return value;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

template <typename Handler> void bind(QPushButton* button, TfRunline1* form, Handler handler) {
    QObject::connect(button, &QPushButton::clicked, form, [form, handler] {
        ErrorBoundary::run([form, handler] { (form->*handler)(); });
    });
}

} // namespace

TfRunline1::TfRunline1(RunlineWindowLinks* links, QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      Links(links) {
    setObjectName(QStringLiteral("fRunline1"));
    setWindowTitle(QStringLiteral("Runline Generator"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);

    gbRoute = new QGroupBox(QStringLiteral("Step 1: Draw Route"), this);
    gbRoute->setObjectName(QStringLiteral("gbRoute"));
    auto* routeLayout = new QHBoxLayout(gbRoute);
    lRouteStatus = new QLabel(gbRoute);
    lRouteStatus->setObjectName(QStringLiteral("lRouteStatus"));
    bDrawRoute = makeButton(gbRoute, "bDrawRoute", "Draw Route");
    routeLayout->addWidget(lRouteStatus, 1);
    routeLayout->addWidget(bDrawRoute);
    layout->addWidget(gbRoute);

    gbSpacing = new QGroupBox(QStringLiteral("Step 2: Spacing (meters)"), this);
    gbSpacing->setObjectName(QStringLiteral("gbSpacing"));
    auto* spacingLayout = new QHBoxLayout(gbSpacing);
    eSpacingLabel = new QLabel(QStringLiteral("Spacing"), gbSpacing);
    eSpacing = new QLineEdit(QStringLiteral("10"), gbSpacing);
    eSpacing->setObjectName(QStringLiteral("eSpacing"));
    eSpacingLabel->setBuddy(eSpacing);
    eLengthLabel = new QLabel(QStringLiteral("Length"), gbSpacing);
    eLength = new QLineEdit(QStringLiteral("100"), gbSpacing);
    eLength->setObjectName(QStringLiteral("eLength"));
    eLengthLabel->setBuddy(eLength);
    spacingLayout->addWidget(eSpacingLabel);
    spacingLayout->addWidget(eSpacing);
    spacingLayout->addWidget(eLengthLabel);
    spacingLayout->addWidget(eLength);
    layout->addWidget(gbSpacing);

    gbType = new QGroupBox(QStringLiteral("Step 3: Line Type"), this);
    gbType->setObjectName(QStringLiteral("gbType"));
    auto* typeLayout = new QHBoxLayout(gbType);
    rbPerpendicular = new QRadioButton(QStringLiteral("Perpendicular"), gbType);
    rbPerpendicular->setObjectName(QStringLiteral("rbPerpendicular"));
    rbPerpendicular->setChecked(true);
    rbParallel = new QRadioButton(QStringLiteral("Parallel"), gbType);
    rbParallel->setObjectName(QStringLiteral("rbParallel"));
    typeLayout->addWidget(rbPerpendicular);
    typeLayout->addWidget(rbParallel);
    layout->addWidget(gbType);

    gbActions = new QGroupBox(QStringLiteral("Actions"), this);
    gbActions->setObjectName(QStringLiteral("gbActions"));
    auto* actionsLayout = new QHBoxLayout(gbActions);
    bGenerate = makeButton(gbActions, "bGenerate", "Generate");
    QFont bold = bGenerate->font();
    bold.setBold(true);
    bGenerate->setFont(bold);
    SetDesignedTextColour(bGenerate, colourOf(0x008000));
    bClear = makeButton(gbActions, "bClear", "Clear");
    bClose = makeButton(gbActions, "bClose", "Close");
    actionsLayout->addWidget(bGenerate);
    actionsLayout->addWidget(bClear);
    actionsLayout->addWidget(bClose);
    layout->addWidget(gbActions);
    layout->addStretch(1);

    resize(320, 280);
    if (const QScreen* screen = this->screen())
        PlaceCentredOn(this, screen->geometry().center());

    bind(bDrawRoute, this, &TfRunline1::bDrawRouteClick);
    bind(bGenerate, this, &TfRunline1::bGenerateClick);
    bind(bClear, this, &TfRunline1::bClearClick);
    connect(bClose, &QPushButton::clicked, this, &QWidget::close);
    connect(rbPerpendicular, &QRadioButton::clicked, this,
            [this] { ErrorBoundary::run([this] { rbPerpendicularClick(); }); });
    connect(rbParallel, &QRadioButton::clicked, this,
            [this] { ErrorBoundary::run([this] { rbParallelClick(); }); });

    FormCreate();

    // Bound after the stored texts are in: every later change regenerates.
    connect(eSpacing, &QLineEdit::textChanged, this,
            [this] { ErrorBoundary::run([this] { eSpacingChange(); }); });
    connect(eLength, &QLineEdit::textChanged, this,
            [this] { ErrorBoundary::run([this] { eLengthChange(); }); });
}

void TfRunline1::FormCreate() {
    const IniFile ini(AppPaths::settingsFile());
    eSpacing->setText(ini.readString(Section, QStringLiteral("Spacing"), QStringLiteral("10")));
    eLength->setText(ini.readString(Section, QStringLiteral("Length"), QStringLiteral("100")));
    const bool perpendicular = ini.readBool(Section, QStringLiteral("Perpendicular"), true);
    rbPerpendicular->setChecked(perpendicular);
    rbParallel->setChecked(!perpendicular);
    RouteReady = false;
    showStatus(RouteStatus::NoRoute);
}

void TfRunline1::FormShow() {
    RestoreFormState(this, 0);
}

void TfRunline1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ErrorBoundary::run([this] { FormShow(); });
}

void TfRunline1::showStatus(RouteStatus status, size_t points) {
    QString text;
    uint32_t colour = 0x808080;
    switch (status) {
    case RouteStatus::NoRoute:
        text = QStringLiteral("No route drawn");
        break;
    case RouteStatus::Drawing:
        text = QStringLiteral("Drawing... (right-click to finish)");
        colour = 0xFF0000;
        break;
    case RouteStatus::TooFewPoints:
        text = QStringLiteral("Need at least 2 points");
        colour = 0x0000FF;
        break;
    case RouteStatus::Received:
        text = QStringLiteral("Route: %1 points").arg(points);
        colour = 0x008000;
        break;
    case RouteStatus::TooManyLines:
        text = TooManyLinesText;
        colour = 0x0000FF;
        break;
    }
    status_ = status;
    lRouteStatus->setText(text);
    SetDesignedTextColour(lRouteStatus, colourOf(colour));
}

void TfRunline1::bDrawRouteClick() {
    ClearGeneratedLines();
    RoutePoints.clear();
    RouteReady = false;
    TTavrinCanvas* canvas = mapCanvas(Links);
    if (!canvas)
        return;
    int layer = canvas->LayerFindByName(RouteLayerName);
    if (layer == -1)
        layer = canvas->LayerOpen(RouteLayerName);
    else
        canvas->CadClearShapes(layer);
    canvas->CurrentLayer = layer;
    canvas->ToolMode = 5;
    canvas->KeepToolMode = false;
    showStatus(RouteStatus::Drawing);
    canvas->Update();
}

void TfRunline1::SetRoutePoints(const std::vector<std::pair<double, double>>& points) {
    RoutePoints = points;
    RouteReady = points.size() > 1;
    if (!RouteReady) {
        showStatus(RouteStatus::TooFewPoints);
        return;
    }
    showStatus(RouteStatus::Received, points.size());
    GenerateRunlines();
}

void TfRunline1::eSpacingChange() {
    if (RouteReady)
        GenerateRunlines();
}

void TfRunline1::eLengthChange() {
    if (RouteReady)
        GenerateRunlines();
}

void TfRunline1::rbPerpendicularClick() {
    if (RouteReady)
        GenerateRunlines();
}

void TfRunline1::rbParallelClick() {
    if (RouteReady)
        GenerateRunlines();
}

void TfRunline1::bGenerateClick() {
    if (!RouteReady) {
        Dialogs::showMessage(QStringLiteral("Please draw a route first."));
        return;
    }
    if (!GenerateRunlines()) {
        if (status_ == RouteStatus::TooManyLines)
            Dialogs::showMessage(TooManyLinesText);
        return;
    }
    IniFile ini(AppPaths::settingsFile());
    ini.writeString(Section, QStringLiteral("Spacing"), eSpacing->text());
    ini.writeString(Section, QStringLiteral("Length"), eLength->text());
    ini.writeBool(Section, QStringLiteral("Perpendicular"), rbPerpendicular->isChecked());
}

void TfRunline1::bClearClick() {
    ClearGeneratedLines();
    RoutePoints.clear();
    RouteReady = false;
    showStatus(RouteStatus::NoRoute);
}

bool TfRunline1::GenerateRunlines() {
    TTavrinCanvas* canvas = mapCanvas(Links);
    if (RoutePoints.size() < 2 || !canvas)
        return false;
    const double spacing = positiveOr(eSpacing->text(), DefaultSpacing);
    const double length = positiveOr(eLength->text(), DefaultLength);
    const RunlineType type =
        rbPerpendicular->isChecked() ? RunlineType::Perpendicular : RunlineType::Parallel;
    // Counted before anything is drawn: a tiny spacing or a huge length is refused outright.
    const bool withinBounds = CountRunlines(RoutePoints, spacing, length, type).WithinBounds();

    if (withinBounds)
        AutoEventLog("Runlines generated - Spacing: " + eSpacing->text().toStdString() +
                         ", Length: " + eLength->text().toStdString(),
                     EventsLogPath());

    int layer = canvas->LayerFindByName(RunlineLayerName);
    if (layer == -1)
        layer = canvas->LayerOpen(RunlineLayerName);
    RunlineLayer = layer;
    canvas->CadClearShapes(layer);
    canvas->DrawPolyline(RoutePoints, layer, false);
    if (withinBounds) {
        ForEachRunline(RoutePoints, spacing, length, type,
                       [canvas, layer](const RunlinePolyline& line) {
                           canvas->DrawPolyline(line, layer, false);
                       });
        // A generation that fits again after a refused one.
        if (status_ == RouteStatus::TooManyLines)
            showStatus(RouteStatus::Received, RoutePoints.size());
    } else {
        showStatus(RouteStatus::TooManyLines);
    }
    canvas->Update();
    return withinBounds;
}

void TfRunline1::ClearGeneratedLines() {
    TTavrinCanvas* canvas = mapCanvas(Links);
    if (!canvas)
        return;
    // Looked up by name: layer ids start again with a replacing load.
    const int layer = canvas->LayerFindByName(RunlineLayerName);
    RunlineLayer = layer;
    if (layer == -1)
        return;
    canvas->CadClearShapes(layer);
    canvas->Update();
}
