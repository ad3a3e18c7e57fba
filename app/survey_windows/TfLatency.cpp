#include "app/survey_windows/TfLatency.h"

#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include "survey/LatencyMeter.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

TfLatency* fLatency = nullptr;

namespace {
const QString section = QStringLiteral("LATENCY");
const QString toleranceKey = QStringLiteral("eLatencyTol");
constexpr int designedTolerance = 500;
} // namespace

TfLatency::TfLatency(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("fLatency"));
    setWindowTitle(QStringLiteral("Latency"));

    auto* layout = new QVBoxLayout(this);
    gLatency = new QGroupBox(QStringLiteral("Latency (milisecond)"), this);
    gLatency->setObjectName(QStringLiteral("gLatency"));
    gLatency->setAutoFillBackground(true);
    layout->addWidget(gLatency);
    auto* form = new QFormLayout(gLatency);
    const auto addEdit = [this, form](QLineEdit*& edit, const char* name, const char* caption) {
        edit = new QLineEdit(gLatency);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(QString::fromLatin1(caption), edit);
    };
    addEdit(eCurrentLatency, "eCurrentLatency", "Current");
    addEdit(eLatencyAveraged, "eLatencyAveraged", "Averaged");
    addEdit(eLatencyTol, "eLatencyTol", "Tolerence");
    eCurrentLatency->setEnabled(false);
    eLatencyAveraged->setEnabled(false);
    eLatencyTol->setText(QString::number(designedTolerance));

    connect(eLatencyTol, &QLineEdit::textChanged, this, [this] { eLatencyTolChange(); });
    connect(eCurrentLatency, &QLineEdit::textChanged, this, [this] { eCurrentLatencyChange(); });
    FormCreate();
    adjustSize();
}

void TfLatency::FormCreate() {
    const IniFile ini(AppPaths::settingsFile());
    int tolerance = ini.readInteger(section, toleranceKey, designedTolerance);
    if (!LatencyMeter::ParseTolerance(std::to_string(tolerance)))
        tolerance = designedTolerance;
    eLatencyTol->setText(QString::number(tolerance));
}

void TfLatency::eLatencyTolChange() {
    // A half-typed or emptied tolerance is not kept: the last whole one stays in the file.
    if (!LatencyMeter::ParseTolerance(eLatencyTol->text().toStdString()))
        return;
    IniFile ini(AppPaths::settingsFile());
    ini.writeString(section, toleranceKey, eLatencyTol->text());
}

void TfLatency::eCurrentLatencyChange() {
    int current = 0;
    const auto tolerance = LatencyMeter::ParseTolerance(eLatencyTol->text().toStdString());
    // Without a number on either side the colour stays as it was; the map tick goes on.
    if (!tolerance || !ParseInteger(eCurrentLatency->text(), current))
        return;
    QPalette palette = gLatency->palette();
    palette.setColor(QPalette::Window, LatencyMeter::WithinTolerance(current, *tolerance)
                                           ? QColor(0, 255, 0)
                                           : QColor(255, 0, 0));
    gLatency->setPalette(palette);
}

void TfLatency::ShowLatency(const LatencyMeter& meter) {
    eCurrentLatency->setText(QString::number(meter.LatencyCurrent));
    eLatencyAveraged->setText(QString::fromStdString(FormatFixed(meter.LatencyAverage, 1, 20)));
}
