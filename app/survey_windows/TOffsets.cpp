#include "app/survey_windows/TOffsets.h"

#include "app/survey_windows/SetUpWindowLinks.h"
#include "language/TTavrinTranslation.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "platform/DateTimeText.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FileIO.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include "app/survey_windows/SurveyStateAccess.h"

#include <QAction>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

TOffsets* Offsets = nullptr;

namespace {

const QString section = QString::fromLatin1(SurveySetup::Section);

// The boat seen from astern: the transducer under the hull, the GNSS antenna on its mast, and
// the three offsets between them and the water surface.
QPixmap OffsetsSketch() {
    QPixmap picture(180, 300);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const int water = 170;
    painter.fillRect(QRect(0, water, 180, 130), QColor(200, 228, 250));
    painter.setPen(QPen(QColor(0, 90, 170), 2));
    painter.drawLine(0, water, 180, water);

    // Hull and mast.
    QPainterPath hull;
    hull.moveTo(30, 140);
    hull.lineTo(150, 140);
    hull.lineTo(130, 195);
    hull.lineTo(50, 195);
    hull.closeSubpath();
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(230, 230, 230));
    painter.drawPath(hull);
    painter.drawLine(70, 140, 70, 45);
    // Antenna and transducer.
    painter.setBrush(QColor(255, 200, 0));
    painter.drawEllipse(QPoint(70, 38), 9, 7);
    painter.setBrush(QColor(200, 0, 0));
    painter.drawRect(QRect(63, 195, 14, 12));

    // The offsets: C above the water, A below it, B the whole distance.
    const auto dimension = [&painter](int x, int top, int bottom, const QString& name) {
        painter.setPen(QPen(QColor(0, 0, 128), 1));
        painter.drawLine(x, top, x, bottom);
        painter.drawLine(x - 4, top, x + 4, top);
        painter.drawLine(x - 4, bottom, x + 4, bottom);
        QFont font = painter.font();
        font.setBold(true);
        font.setPointSize(11);
        painter.setFont(font);
        painter.drawText(QPoint(x + 6, (top + bottom) / 2 + 5), name);
    };
    dimension(110, 38, water, QStringLiteral("C"));
    dimension(110, water, 207, QStringLiteral("A"));
    dimension(20, 38, 207, QStringLiteral("B"));
    return picture;
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TOffsets::TOffsets(SetUpWindowLinks* links, QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      Links(links) {
    setObjectName(QStringLiteral("Offsets"));
    setWindowTitle(QStringLiteral("Offsets Essential for Post Processing / Recovery"));
    setModal(false);
    buildControls();

    // The clock runs from creation, shown or not.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();

    // What the last run accepted serves until the operator accepts anew, as long as it is
    // still a sane set-up; the names are not needed for that.
    try {
        const IniFile ini(AppPaths::settingsFile());
        SetupFieldTexts stored;
        for (const auto& [field, key] : SurveySetup::KeysRead())
            SurveySetup::Text(stored, field) =
                ini.readString(section, QString::fromLatin1(key)).toStdString();
        const auto result = SurveySetup::Check(stored, SetupLanguage::English, false);
        if (const auto* setup = std::get_if<AcceptedSurveySetup>(&result))
            accepted_ = *setup;
    } catch (...) {
    }
}

void TOffsets::buildControls() {
    auto* layout = new QHBoxLayout(this);

    pSketch = new QFrame(this);
    pSketch->setObjectName(QStringLiteral("pSketch"));
    pSketch->setFrameShape(QFrame::StyledPanel);
    auto* sketchLayout = new QVBoxLayout(pSketch);
    Image1 = new QLabel(pSketch);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(OffsetsSketch());
    sketchLayout->addWidget(Image1);
    layout->addWidget(pSketch);

    auto* form = new QGridLayout();
    layout->addLayout(form);
    int row = 0;
    const auto addField = [this, form, &row](QLineEdit*& edit, const char* name,
                                             const char* caption) {
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        form->addWidget(label, row, 0);
        form->addWidget(edit, row, 1);
        ++row;
    };
    addField(OffsetA, "OffsetA", "A");
    addField(OffsetB, "OffsetB", "B");
    addField(OffsetC, "OffsetC", "C");
    addField(SV, "SV", "SV");
    addField(TideHt, "TideHt", "Tide Ht");
    addField(Location, "Location", "Location");
    addField(SurveyBoat, "SurveyBoat", "Vessel");
    addField(Surveyor, "Surveyor", "Surveyor");
    form->addWidget(new QLabel(QStringLiteral("Date and Time (UTC)"), this), row, 0);
    time = new QLabel(QStringLiteral("Time"), this);
    time->setObjectName(QStringLiteral("time"));
    form->addWidget(time, row++, 1);

    // The numeric fields are checked when left; a click on any field brings up the on-screen
    // keypad or keyboard for it.
    for (QLineEdit* field : {OffsetA, OffsetB, OffsetC, SV, TideHt, Location, SurveyBoat, Surveyor})
        field->installEventFilter(this);

    const auto addButton = [this](QPushButton*& button, const char* name, const char* caption) {
        button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
    };
    addButton(bSVP, "bSVP", "Sound Velocity Profile");
    addButton(bNTRIPShow, "bNTRIPShow", "NTRIP Client");
    addButton(BitBtn1, "BitBtn1", "Realtime");
    addButton(BitBtn3, "BitBtn3", "Cancel");
    form->addWidget(bSVP, row, 0, 1, 2);
    form->addWidget(bNTRIPShow, ++row, 0, 1, 2);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn3);
    form->addLayout(buttons, ++row, 0, 1, 2);

    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { BitBtn1Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { BitBtn3Click(); }); });
    connect(bSVP, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { bSVPClick(); }); });
    connect(bNTRIPShow, &QPushButton::clicked, this,
            [this] { ErrorBoundary::run([this] { bNTRIPShowClick(); }); });
    resize(520, 410);
}

SetupFieldTexts TOffsets::FieldTexts() const {
    SetupFieldTexts texts;
    for (SurveySetupField field :
         {SurveySetupField::OffsetA, SurveySetupField::OffsetB, SurveySetupField::OffsetC,
          SurveySetupField::SoundVelocity, SurveySetupField::TideHeight, SurveySetupField::Location,
          SurveySetupField::SurveyBoat, SurveySetupField::Surveyor})
        SurveySetup::Text(texts, field) = fieldOf(field)->text().toStdString();
    return texts;
}

QLineEdit* TOffsets::fieldOf(SurveySetupField field) const {
    switch (field) {
    case SurveySetupField::OffsetA:
        return OffsetA;
    case SurveySetupField::OffsetB:
        return OffsetB;
    case SurveySetupField::OffsetC:
        return OffsetC;
    case SurveySetupField::SoundVelocity:
        return SV;
    case SurveySetupField::TideHeight:
        return TideHt;
    case SurveySetupField::Location:
        return Location;
    case SurveySetupField::SurveyBoat:
        return SurveyBoat;
    case SurveySetupField::Surveyor:
        break;
    }
    return Surveyor;
}

SetupLanguage TOffsets::language() const {
    return SurveySetup::LanguageOf(Translator ? Translator->CurrentLanguage : std::string("en"));
}

void TOffsets::FormShow() {
    // A settings file that cannot be read leaves the fields as they are.
    try {
        const IniFile ini(AppPaths::settingsFile());
        for (const auto& [field, key] : SurveySetup::KeysRead())
            fieldOf(field)->setText(ini.readString(section, QString::fromLatin1(key)));
    } catch (...) {
    }
    RestoreFormState(this, 0);
}

void TOffsets::Timer1Timer() {
    // The label, the offsets log and the settings say UTC, whatever zone the computer keeps.
    const LocalDateTime now = Clock::utcNow();
    const bool midnight =
        now.hour == 0 && now.minute == 0 && now.second == 0 && now.millisecond == 0;
    time->setText(Utf8(midnight ? DateText(now) : DateTimeText(now)));
}

void TOffsets::BitBtn1Click() {
    // The project is saved before anything is checked, so even a refused set-up keeps it.
    if (Links)
        Links->SaveProject();

    const SetupLanguage lang = language();
    const std::string timeText = time->text().toStdString();
    if (timeText.find(':') != std::string::npos)
        Dialogs::showMessage(Utf8(SurveySetup::TimeFormatWarning(lang)));

    CreateDataFolders();

    const SetupFieldTexts texts = FieldTexts();
    const auto result = SurveySetup::Check(texts, lang);
    if (const auto* rejected = std::get_if<SetupRejection>(&result)) {
        if (rejected->conversionError)
            throw std::runtime_error(rejected->message);
        Dialogs::showMessage(Utf8(rejected->message));
        fieldOf(rejected->field)->setFocus();
        Abort();
    }
    accepted_ = std::get<AcceptedSurveySetup>(result);

    // A log that cannot be written is said so, with its path; the survey goes on with the
    // accepted values.
    const std::string logPath = LogFolder + TodayString() + " Offsets.log";
    const bool profileInUse = SoundVelocityProfileInUse && SoundVelocityProfileInUse();
    std::string error;
    if (!AppendToFile(logPath, SurveySetup::OffsetsLogBlock(texts, timeText, lang, profileInUse),
                      &error))
        Dialogs::showError(Utf8(SurveySetup::OffsetsLogFailure(logPath, error, lang)));

    {
        IniFile ini(AppPaths::settingsFile());
        for (const auto& [key, value] : SurveySetup::KeysWritten(texts, timeText))
            ini.writeString(section, Utf8(key), Utf8(value));
        if (!ini.flush())
            Dialogs::showError(QStringLiteral("Cannot write the settings file %1: the offsets "
                                              "are not kept for the next start.")
                                   .arg(AppPaths::settingsFile()));
    }

    // Starting is all this action asks of the toggle: a running survey goes on, even when
    // its GNSS port dropped and released the button.
    if (Links && !SurveyAcquisitionState().AcquisitionRunning)
        Links->StartSurvey();

    SaveFormState(this);
    close();
}

void TOffsets::BitBtn3Click() {
    SaveFormState(this);
    close();
}

void TOffsets::FormCloseQuery() {
    RestoreFormState(this, 0);
}

void TOffsets::FormDblClick() {
    resize(width(), 410);
}

void TOffsets::bSVPClick() {
    if (Links)
        Links->ShowSoundVelocity();
}

void TOffsets::bNTRIPShowClick() {
    if (Links)
        Links->ShowNtripModally();
}

void TOffsets::FieldClick(QLineEdit* field) {
    if (!Links || !field)
        return;
    Links->ShowKeyboard(field, field == Location || field == SurveyBoat || field == Surveyor);
}

void TOffsets::numericFieldExit(QLineEdit* field) {
    if (checkingField_)
        return;
    checkingField_ = true;
    double value = 0;
    if (!ParseNumber(field->text(), value)) {
        Dialogs::showError(Utf8(SurveySetup::NotANumberMessage(field->text().toStdString())));
        field->setFocus();
    }
    checkingField_ = false;
}

void TOffsets::OffsetAExit() {
    numericFieldExit(OffsetA);
}
void TOffsets::OffsetBExit() {
    numericFieldExit(OffsetB);
}
void TOffsets::OffsetCExit() {
    numericFieldExit(OffsetC);
}
void TOffsets::SVExit() {
    numericFieldExit(SV);
}
void TOffsets::TideHtExit() {
    numericFieldExit(TideHt);
}

void TOffsets::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ErrorBoundary::run([this] { FormShow(); });
}

void TOffsets::closeEvent(QCloseEvent* event) {
    ErrorBoundary::run([this] { FormCloseQuery(); });
    event->accept();
}

void TOffsets::mouseDoubleClickEvent(QMouseEvent* event) {
    QDialog::mouseDoubleClickEvent(event);
    FormDblClick();
}

bool TOffsets::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        ErrorBoundary::run([this, watched] { FieldClick(qobject_cast<QLineEdit*>(watched)); });
    if (event->type() == QEvent::FocusOut) {
        // Switching to another program or opening a menu does not leave the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == OffsetA)
                ErrorBoundary::run([this] { OffsetAExit(); });
            else if (watched == OffsetB)
                ErrorBoundary::run([this] { OffsetBExit(); });
            else if (watched == OffsetC)
                ErrorBoundary::run([this] { OffsetCExit(); });
            else if (watched == SV)
                ErrorBoundary::run([this] { SVExit(); });
            else if (watched == TideHt)
                ErrorBoundary::run([this] { TideHtExit(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TOffsets::reject() {
    // Esc presses Cancel.
    ErrorBoundary::run([this] { BitBtn3Click(); });
}
