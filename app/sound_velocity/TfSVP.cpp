#include "app/sound_velocity/TfSVP.h"

#include "app/sound_velocity/SoundVelocityLinks.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "app/widgets/TLabeledEdit.h"
#include "language/TTavrinTranslation.h"

#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"

#include "survey/SoundVelocityFiles.h"
#include "survey/SoundVelocityProfile.h"
#include "survey/VelocityColumn.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>
#include <memory>

TfSVP* fSVP = nullptr;

namespace {

const QString Section = QStringLiteral("SVP");

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QPlainTextEdit* MakeList(QWidget* parent, const char* name, const char* caption, int x,
                         QGroupBox*& group) {
    group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setGeometry(x, 60, 172, 236);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* list = new QPlainTextEdit(group);
    list->setObjectName(QString::fromLatin1(name));
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(list);
    return list;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QRect& geometry) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setGeometry(geometry);
    return button;
}

std::string TimeText(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

} // namespace

TfSVP::TfSVP(SoundVelocityLinks* links, QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      Links(links) {
    setObjectName(QStringLiteral("fSVP"));
    setWindowTitle(QStringLiteral("Sound Velocity"));
    resize(703, 369);
    ProgramFolder = AppPaths::applicationFolder();

    const auto bind = [this](auto* sender, auto signal, void (TfSVP::*handler)()) {
        connect(sender, signal, this, [this, handler] { ErrorBoundary::run([this, handler] { (this->*handler)(); }); });
    };

    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("SVP"), QRect(4, 8, 60, 28));
    bGraph = MakeButton(this, "bGraph", QStringLiteral("Graph"), QRect(68, 8, 60, 28));
    // Captioned buttons, translated by the walk like the window's other buttons.
    BitBtn1->setProperty("designClass", QStringLiteral("TBitBtn"));
    bGraph->setProperty("designClass", QStringLiteral("TBitBtn"));
    bind(BitBtn1, &QToolButton::clicked, &TfSVP::BitBtn1Click);
    bind(bGraph, &QToolButton::clicked, &TfSVP::bGraphClick);

    GroupBox5 = new QGroupBox(QStringLiteral("Parameters"), this);
    GroupBox5->setObjectName(QStringLiteral("GroupBox5"));
    GroupBox5->setGeometry(134, 0, 565, 58);
    eSearchString = new TLabeledEdit(QStringLiteral("Format Identifier for SV && P"), GroupBox5);
    eSearchString->setObjectName(QStringLiteral("eSearchString"));
    eSearchString->Place(8, 30, 260, 22);
    eSearchString->setText(QString::fromLatin1(DefaultSvpSearchString));
    eMaxDepth = new TLabeledEdit(QStringLiteral("Max Depth"), GroupBox5);
    eMaxDepth->setObjectName(QStringLiteral("eMaxDepth"));
    eMaxDepth->Place(280, 30, 70, 22);
    eMaxDepth->setText(QStringLiteral("200"));
    rSVFirst = new QRadioButton(QStringLiteral("SV first"), GroupBox5);
    rSVFirst->setObjectName(QStringLiteral("rSVFirst"));
    rSVFirst->setGeometry(370, 14, 120, 20);
    rSVFirst->setChecked(true);
    rDFirst = new QRadioButton(QStringLiteral("Depth first"), GroupBox5);
    rDFirst->setObjectName(QStringLiteral("rDFirst"));
    rDFirst->setGeometry(370, 34, 120, 20);

    mDefault = new QMenu(this);
    mDefault->setObjectName(QStringLiteral("mDefault"));
    QAction* defaults = mDefault->addAction(QStringLiteral("Defaults"));
    defaults->setObjectName(QStringLiteral("Defaults1"));
    QAction* detect = mDefault->addAction(QStringLiteral("Auto Dedetct"));
    detect->setObjectName(QStringLiteral("AutoDedetct1"));
    bind(defaults, &QAction::triggered, &TfSVP::Defaults1Click);
    bind(detect, &QAction::triggered, &TfSVP::AutoDedetct1Click);
    for (QWidget* w : std::initializer_list<QWidget*>{GroupBox5, eSearchString, eMaxDepth, rSVFirst, rDFirst}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { mDefault->popup(w->mapToGlobal(at)); });
    }
    eSearchString->installEventFilter(this);

    QGroupBox* group = nullptr;
    mRawSVData = MakeList(this, "mRawSVData", "Source SVP Data", 4, group);
    mRawSVData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mRawSVExtracted = MakeList(this, "mRawSVExtracted", "Raw SV values", 179, group);
    mSortedAveragedSV = MakeList(this, "mSortedAveragedSV", "Averaged SV Values", 354, group);
    mSVPColumn = MakeList(this, "mSVPColumn", "SV Column", 529, group);
    for (QPlainTextEdit* list : {mRawSVExtracted, mSortedAveragedSV, mSVPColumn})
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(mSVPColumn, &QPlainTextEdit::textChanged, this, [this] { SvpColumnChanged(); });

    bRawToSVV = MakeButton(this, "bRawToSVV", QStringLiteral("\u2192"), QRect(140, 300, 40, 28));
    bSVVtoAveragedSV = MakeButton(this, "bSVVtoAveragedSV", QStringLiteral("\u2192"), QRect(315, 300, 40, 28));
    bAveragedSVtoSVP = MakeButton(this, "bAveragedSVtoSVP", QStringLiteral("\u2192"), QRect(490, 300, 40, 28));
    for (QToolButton* b : {bRawToSVV, bSVVtoAveragedSV, bAveragedSVtoSVP})
        b->setAutoRaise(true);
    bind(bRawToSVV, &QToolButton::clicked, &TfSVP::bRawToSVVClick);
    bind(bSVVtoAveragedSV, &QToolButton::clicked, &TfSVP::bSVVtoAveragedSVClick);
    bind(bAveragedSVtoSVP, &QToolButton::clicked, &TfSVP::bAveragedSVtoSVPClick);

    cUseSVP = new QCheckBox(QStringLiteral("Use Sound Velocity Profile"), this);
    cUseSVP->setObjectName(QStringLiteral("cUseSVP"));
    cUseSVP->setGeometry(4, 338, 200, 24);
    bind(cUseSVP, &QCheckBox::toggled, &TfSVP::cUseSVPClick);
    lColumnInUse = new QLabel(this);
    lColumnInUse->setObjectName(QStringLiteral("lColumnInUse"));
    lColumnInUse->setGeometry(208, 338, 380, 24);
    // A status line with depths and a time, not a caption: the translation walk passes it by.
    lColumnInUse->setProperty("designClass", QStringLiteral("TPanel"));
    bSaveClose = new QPushButton(QStringLiteral("Save && Close"), this);
    bSaveClose->setObjectName(QStringLiteral("bSaveClose"));
    bSaveClose->setGeometry(600, 334, 98, 30);
    bSaveClose->setEnabled(false);
    bind(bSaveClose, &QPushButton::clicked, &TfSVP::BitBtn2Click);

    FormCreate();
}

bool TfSVP::English() const { return !Translator || Translator->CurrentLanguage == "en"; }

std::vector<std::string> TfSVP::ListLines(const QPlainTextEdit* list) {
    std::vector<std::string> lines;
    const QString text = list->toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(line.toStdString());
    return lines;
}

void TfSVP::SetListLines(QPlainTextEdit* list, const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text += '\n';
        text += lines[i];
    }
    list->setPlainText(Utf8(text));
}

const std::vector<std::string>* TfSVP::VelocityColumnInUse() const {
    if (!cUseSVP->isChecked() || columnInUse_.empty())
        return nullptr;
    return &columnInUse_;
}

void TfSVP::SvpColumnChanged() {
    const std::vector<std::string> lines = ListLines(mSVPColumn);
    if (!VelocityColumn::FromLines(lines).valid())
        return ShowColumnInUse();
    if (lines != columnInUse_) {
        columnInUse_ = lines;
        columnTakenAt_ = TimeText(Clock::now());
    }
    ShowColumnInUse();
}

void TfSVP::ShowColumnInUse() {
    // A column that is ready but not ticked corrects nothing: saying "in use" would mislead.
    if (!cUseSVP->isChecked()) {
        lColumnInUse->setText(Utf8(InterfaceText("No profile in use: depths use the single SV")));
        return;
    }
    if (columnInUse_.empty()) {
        lColumnInUse->setText(Utf8(InterfaceText("No velocity column")));
        return;
    }
    const bool listDiffers = ListLines(mSVPColumn) != columnInUse_;
    QString text = Utf8(InterfaceText("Column in use: 0-%1 m, taken at %2"))
                       .arg(columnInUse_.size() - 1)
                       .arg(Utf8(columnTakenAt_));
    if (listDiffers)
        text += Utf8(InterfaceText(" (the list is being rebuilt)"));
    lColumnInUse->setText(text);
}

void TfSVP::ApplyUseToSetupWindow() {
    if (!Links)
        return;
    const bool used = cUseSVP->isChecked();
    // Dictionary texts: the translation walk takes the set-up window's button to the language
    // the interface is switched to, as it does with its designed caption.
    Links->ShowSoundVelocityUse(used,
                                Utf8(InterfaceText(used ? "SVP Profile Used" : "Single SV Used")));
}

void TfSVP::FormCreate() {
    const auto lists = SoundVelocityFiles::LoadLists(ProgramFolder, SvpFolder, TodayString());
    QPlainTextEdit* targets[] = {mRawSVData, mRawSVExtracted, mSortedAveragedSV, mSVPColumn};
    for (size_t i = 0; i < lists.size(); ++i)
        if (lists[i])
            SetListLines(targets[i], *lists[i]);

    const IniFile ini(AppPaths::settingsFile());
    eSearchString->setText(ini.readString(Section, QStringLiteral("eSearchString"), eSearchString->text()));
    eMaxDepth->setText(ini.readString(Section, QStringLiteral("eMaxDepth"), eMaxDepth->text()));
    rSVFirst->setChecked(ini.readBool(Section, QStringLiteral("rSVFirst"), true));
    rDFirst->setChecked(ini.readBool(Section, QStringLiteral("rDFirst"), false));
    if (!rSVFirst->isChecked() && !rDFirst->isChecked())
        rSVFirst->setChecked(true);
    const bool use = ini.readBool(Section, QStringLiteral("cUseSVP"), false);
    const bool blank = mSVPColumn->toPlainText().trimmed().isEmpty();
    std::string error;
    const bool valid = VelocityColumn::FromLines(ListLines(mSVPColumn), &error).valid();
    // A stored "use" is honoured only with a column that validates: a corrupt one would put
    // every depth of the day off unseen.
    updatingUse_ = true;
    cUseSVP->setChecked(use && !blank && valid);
    updatingUse_ = false;
    if (use && !blank && !valid) {
        const std::string text = "Sound velocity profile not used: the stored " + error + ".";
        if (Links)
            Links->Message(Utf8(text));
        AutoEventLog(text, EventsLogPath());
    }
    ShowColumnInUse();
    // Unchecked at start leaves the set-up window's own caption alone.
    if (cUseSVP->isChecked())
        ApplyUseToSetupWindow();
}

void TfSVP::FormShow() { RestoreFormState(this, 0); }

void TfSVP::SaveSettings() const {
    IniFile ini(AppPaths::settingsFile());
    ini.writeBool(Section, QStringLiteral("cUseSVP"), cUseSVP->isChecked());
    ini.writeString(Section, QStringLiteral("eSearchString"), eSearchString->text());
    ini.writeString(Section, QStringLiteral("eMaxDepth"), eMaxDepth->text());
    ini.writeBool(Section, QStringLiteral("rSVFirst"), rSVFirst->isChecked());
    ini.writeBool(Section, QStringLiteral("rDFirst"), rDFirst->isChecked());
}

void TfSVP::FormCloseQuery() { SaveSettings(); }

void TfSVP::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ErrorBoundary::run([this] { FormShow(); });
}

void TfSVP::closeEvent(QCloseEvent* event) {
    ErrorBoundary::run([this] { FormCloseQuery(); });
    event->accept();
}

bool TfSVP::eventFilter(QObject* watched, QEvent* event) {
    if (watched == eSearchString && event->type() == QEvent::MouseButtonDblClick) {
        ErrorBoundary::run([this] { eSearchStringDblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfSVP::BitBtn1Click() {
    const QString name = Dialogs::openFileName(QString(), QString(), QStringLiteral("Sound Velocity File [*.*] (*)"));
    if (name.isEmpty())
        return;
    // Read first: a file that cannot be used leaves the lists as they were.
    std::vector<std::string> lines;
    std::string error;
    if (!SoundVelocityFiles::ReadTextLines(name.toStdString(), lines, error)) {
        Dialogs::showError(Utf8(error));
        return;
    }
    for (QPlainTextEdit* list : {mRawSVData, mRawSVExtracted, mSortedAveragedSV, mSVPColumn})
        list->clear();
    SetListLines(mRawSVData, lines);
    LoadedFileName = QFileInfo(name).fileName().toStdString();
}

void TfSVP::cUseSVPClick() {
    if (updatingUse_)
        return;
    if (cUseSVP->isChecked()) {
        const std::vector<std::string> lines = ListLines(mSVPColumn);
        std::string error;
        const bool blank = mSVPColumn->toPlainText().trimmed().isEmpty();
        if (blank || !VelocityColumn::FromLines(lines, &error).valid()) {
            updatingUse_ = true;
            cUseSVP->setChecked(false);
            updatingUse_ = false;
            ApplyUseToSetupWindow();
            if (blank)
                Dialogs::showWarning(English() ? QStringLiteral("SVP Column is empty. Please load or create an SVP profile first.")
                                               : QStringLiteral("SVP Sütunu boş. Lütfen önce bir SVP profili yükleyin veya oluşturun."));
            else
                Dialogs::showWarning(Utf8("The velocity column cannot be used: " + error + "."));
            return;
        }
        SvpColumnChanged();
    }
    ShowColumnInUse();
    ApplyUseToSetupWindow();
}

void TfSVP::BitBtn2Click() {
    // The project save writes the dated lists itself while the profile is in use.
    if (Links)
        Links->SaveProject();
    SoundVelocityFiles::Lists lists = {ListLines(mRawSVData), ListLines(mRawSVExtracted),
                                       ListLines(mSortedAveragedSV), ListLines(mSVPColumn)};
    std::string error;
    if (!SoundVelocityFiles::WriteLists(SvpFolder + TodayString(), " ", lists, error) ||
        !SoundVelocityFiles::WriteLists(ProgramFolder, "", lists, error)) {
        Dialogs::showError(Utf8(error));
        return;
    }
    close();
}

void TfSVP::bGraphClick() {
    if (mSortedAveragedSV->toPlainText().isEmpty()) {
        Dialogs::showWarning(QStringLiteral("No data to graph. Please process SVP data first."));
        return;
    }
    // The editor is made at start and reused; should it be gone, one serves this opening.
    std::unique_ptr<TfSVPGraph> ownEditor;
    TfSVPGraph* editor = GraphEditor;
    if (!editor) {
        ownEditor = std::make_unique<TfSVPGraph>();
        editor = ownEditor.get();
    }
    editor->LoadPoints(ListLines(mSortedAveragedSV));
    if (editor->ShowModal() != 1 || !editor->Modified())
        return;
    AveragedListEdited(editor->WritePoints());
    Dialogs::showMessage(QStringLiteral("Data updated. Please regenerate SVP Column."));
}

bool TfSVP::SaveWorkingLists(const std::string& prefix, std::string* error) const {
    SoundVelocityFiles::Lists lists = {ListLines(mRawSVData), ListLines(mRawSVExtracted),
                                       ListLines(mSortedAveragedSV), ListLines(mSVPColumn)};
    std::string reason;
    const bool ok = SoundVelocityFiles::WriteLists(prefix, " ", lists, reason);
    if (!ok && error)
        *error = reason;
    return ok;
}

void TfSVP::bRawToSVVClick() {
    const auto result = ExtractSoundVelocities(
        ListLines(mRawSVData), eSearchString->text().toStdString(), rSVFirst->isChecked(), English(),
        [](const std::string& question) { return Dialogs::confirmOkCancel(Utf8(question)); });
    if (result.refused) {
        Dialogs::showError(Utf8(result.message));
        return;
    }
    SetListLines(mRawSVExtracted, result.extracted);
    mSortedAveragedSV->clear();
    mSVPColumn->clear();
    if (!result.cancelled && !result.message.empty())
        Dialogs::showWarning(Utf8(result.message));
}

bool TfSVP::ReadMaxDepth(int& maxDepth) const {
    std::string message;
    if (ParseSvpMaxDepth(eMaxDepth->text().toStdString(), maxDepth, message))
        return true;
    Dialogs::showError(Utf8(message));
    return false;
}

void TfSVP::bSVVtoAveragedSVClick() {
    int maxDepth = 0;
    if (!ReadMaxDepth(maxDepth))
        return;
    mSVPColumn->clear();
    SetListLines(mSortedAveragedSV, AverageSoundVelocities(ListLines(mRawSVExtracted), maxDepth));
}

void TfSVP::bAveragedSVtoSVPClick() {
    int maxDepth = 0;
    if (!ReadMaxDepth(maxDepth))
        return;
    const auto result = BuildVelocityColumn(ListLines(mSortedAveragedSV), maxDepth, English());
    if (!result.ok) {
        mSVPColumn->clear();
        bSaveClose->setEnabled(false);
        Dialogs::showWarning(Utf8(result.message));
        return;
    }
    SetListLines(mSVPColumn, result.column);
    bSaveClose->setEnabled(true);
}

void TfSVP::AutoDedetct1Click() {
    const auto result = DetectSvpFormat(ListLines(mRawSVData), English(), LoadedFileName);
    if (!result.ok) {
        Dialogs::showWarning(Utf8(result.message));
        return;
    }
    eSearchString->setText(Utf8(result.searchString));
    (result.svFirst ? rSVFirst : rDFirst)->setChecked(true);
    Dialogs::showMessage(Utf8(result.message));
}

void TfSVP::Defaults1Click() {
    eSearchString->setText(QString::fromLatin1(DefaultSvpSearchString));
    eMaxDepth->setText(QStringLiteral("200"));
    rSVFirst->setChecked(true);
}

void TfSVP::eSearchStringDblClick() { eSearchString->setText(QString::fromLatin1(DefaultSvpSearchString)); }

void TfSVP::AveragedListEdited(const std::vector<std::string>& averaged) {
    SetListLines(mSortedAveragedSV, averaged);
    mSVPColumn->clear();
    bSaveClose->setEnabled(false);
}
