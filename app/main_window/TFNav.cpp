#include "app/main_window/TFNav.h"

#include "app/devices/TFGPS.h"
#include "app/devices/TfJoystick.h"
#include "app/main_window/MenuShortcuts.h"
#include "app/main_window/ScreenshotTaker.h"
#include "app/main_window/TStatusBar.h"
#include "app/main_window/TranslationWalk.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/ToolIcons.h"
#include "language/TTavrinTranslation.h"
#include "settings/DisplaySettings.h"

#include "canvas/TTavrinCanvas.h"

#include "positioning/gnss/TavrinSerialGPS.h"

#include "platform/AppPaths.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/FormState.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>
#include <limits>

TFNav* FNav = nullptr;

int GridLayerId = 0;
int TrackFixLayerId = 0;
int TrackNoFixLayerId = 0;
int TrackFloatLayerId = 0;
int TempShapeLayerId = 0;
int UserShapeLayerId = 0;
int EventLayerId = 0;
int VesselLayerId = 0;

bool FollowVessel = true;
bool MeasureActive = false;
double MeasureOriginX = 0;
double MeasureOriginY = 0;
bool SelectTracksMode = false;
bool SelectShapesMode = false;
std::string LastLoadedFile;

namespace {

const QString CaptionPrefix = QStringLiteral("Tavrin Iskandil Masasi - ");

struct MenuItem {
    QAction* TFNav::*member; // nullptr for a separator
    const char* name;
    const char* caption;
    const char* key;
};

struct MenuDefinition {
    QMenu* TFNav::*member;
    const char* name;
    const char* caption;
    std::vector<MenuItem> items;
};

const std::vector<MenuDefinition>& menuDefinitions() {
    static const std::vector<MenuDefinition> menus = {
        {&TFNav::File1,
         "File1",
         "File",
         {{&TFNav::New1, "New1", "New", "Ctrl+N"},
          {nullptr, "", "-", ""},
          {&TFNav::Open1, "Open1", "Open...", "Ctrl+O"},
          {&TFNav::Save1, "Save1", "Save", "Ctrl+S"},
          {&TFNav::SaveAs1, "SaveAs1", "Save As...", "Ctrl+W"},
          {nullptr, "", "-", ""},
          {&TFNav::Import1, "Import1", "Import...", "Ctrl+I"},
          {&TFNav::Export1, "Export1", "Export...", "Ctrl+X"},
          {nullptr, "", "-", ""},
          {&TFNav::Exit1, "Exit1", "Exit", "Ctrl+Q"}}},
        {&TFNav::Zoom1,
         "Zoom1",
         "Zoom",
         {{&TFNav::In1, "In1", "In", "Ctrl+I"},
          {&TFNav::Out1, "Out1", "Out", "Ctrl+O"},
          {&TFNav::Extents1, "Extents1", "Extents", "Ctrl+Alt+E"},
          {&TFNav::Window2, "Window2", "Window", "Ctrl+W"},
          {&TFNav::Dynamic1, "Dynamic1", "Dynamic", "Ctrl+Alt+D"}}},
        {&TFNav::Tools1,
         "Tools1",
         "Tools",
         {{&TFNav::VesselShape1, "VesselShape1", "Vessel Shape...", ""},
          {nullptr, "", "-", ""},
          {&TFNav::OpenLogFolder1, "OpenLogFolder1", "Open Log Folder", "Ctrl+L"},
          {nullptr, "", "-", ""},
          {&TFNav::LatencyWatchSet1, "LatencyWatchSet1", "Latency Watch/Set", ""},
          {nullptr, "", "-", ""},
          {&TFNav::TranslationEditor1, "TranslationEditor1", "Translation Editor", ""}}},
        {&TFNav::Edit1,
         "Edit1",
         "Edit",
         {{&TFNav::Cleartracksunfixed1, "Cleartracksunfixed1", "Clear tracks unfixed", ""},
          {&TFNav::Cleartracksfixed1, "Cleartracksfixed1", "Clear tracks fixed", ""},
          {&TFNav::Clearshapesuseradded1, "Clearshapesuseradded1", "Clear shapes user added", ""},
          {&TFNav::Deletetracksselected1, "Deletetracksselected1", "Delete tracks selected", ""},
          {nullptr, "", "-", ""},
          {&TFNav::Followvessel1, "Followvessel1", "Follow vessel", ""},
          {&TFNav::Donotfollowvessel1, "Donotfollowvessel1", "Do not follow vessel", ""},
          {nullptr, "", "-", ""},
          {&TFNav::MarkEvent1, "MarkEvent1", "Mark Event", "F12"}}},
        {&TFNav::Window1,
         "Window1",
         "Window",
         {{&TFNav::NavigationSettings1, "NavigationSettings1", "Navigation Settings...", ""},
          {&TFNav::mRealtimeWindow1, "mRealtimeWindow1", "Realtime Window...", ""},
          {&TFNav::Echogram1, "Echogram1", "Echogram...", "Ctrl+O"},
          {&TFNav::OffsetsandValues1, "OffsetsandValues1", "Offsets...", "Ctrl+O"},
          {nullptr, "", "-", ""},
          {&TFNav::themeSelection1, "themeSelection1", "Theme Selection...", ""},
          {nullptr, "", "-", ""},
          {&TFNav::SoundVelocityProfile1, "SoundVelocityProfile1", "Sound Velocity Profile...", ""},
          {nullptr, "", "-", ""},
          {&TFNav::TavrinNTRIPClient1, "TavrinNTRIPClient1", "Tavrin NTRIP Client...", ""},
          {nullptr, "", "-", ""},
          {&TFNav::Generate1, "Generate1", "Generate Runline...", ""},
          {nullptr, "", "-", ""},
          {&TFNav::Parameters1, "Parameters1", "Device Settings...", "F10"}}},
        {&TFNav::Help1,
         "Help1",
         "Help",
         {{&TFNav::RemoteSupport1, "RemoteSupport1", "Remote Support...", ""},
          {&TFNav::About1, "About1", "About...", ""}}},
    };
    return menus;
}

QToolButton* addButton(QToolBar* bar, QToolButton* TFNav::*member, TFNav* form, const char* name,
                       const char* caption, int width) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (width > 0)
        button->setFixedWidth(width);
    bar->addWidget(button);
    form->*member = button;
    return button;
}

QToolButton* addImageButton(QToolBar* bar, QToolButton* TFNav::*member, TFNav* form,
                            const char* name, const QIcon& icon, const char* hint) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setToolTip(QString::fromLatin1(hint));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addWidget(button);
    form->*member = button;
    return button;
}

QToolBar* makeToolBar(QWidget* parent, const char* name) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    return bar;
}

} // namespace

TFNav::TFNav(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FNav"));
    setWindowTitle(QStringLiteral("Tavrin Iskandil Masasi"));
    buildMenus();
    connect(Export1, &QAction::triggered, this,
            [this] { ErrorBoundary::run([this] { Export1Click(); }); });
    buildToolBars();
    buildClientArea();
    bindProjectFileCommands();

    tMap = new QTimer(this);
    tMap->setObjectName(QStringLiteral("tMap"));
    tMap->setInterval(200);
    tEchogram = new QTimer(this);
    tEchogram->setObjectName(QStringLiteral("tEchogram"));
    tEchogram->setInterval(200);
    tEchogram->start();
    BindSurveyWindows();
    tScreenshot = new QTimer(this);
    tScreenshot->setObjectName(QStringLiteral("tScreenshot"));
    tScreenshot->setInterval(30000);
    tScreenshot->start();

    resize(987, 541 + menuBar()->sizeHint().height());
    move(0, 154);
    FormCreate();
}

TFNav::~TFNav() = default;

void TFNav::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuDefinition& definition : menuDefinitions()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(definition.caption));
        menu->setObjectName(QString::fromLatin1(definition.name));
        this->*definition.member = menu;
    }
    // Keys are resolved over the whole menu bar in menu order: the first item with a key
    // takes it, later items with the same key only show it.
    std::vector<QKeySequence> keys;
    for (const MenuDefinition& definition : menuDefinitions()) {
        for (const MenuItem& item : definition.items)
            keys.push_back(item.member ? QKeySequence(QString::fromLatin1(item.key))
                                       : QKeySequence());
    }
    const std::vector<bool> takes = ResolveShortcuts(keys);
    size_t index = 0;
    for (const MenuDefinition& definition : menuDefinitions()) {
        QMenu* menu = this->*definition.member;
        for (const MenuItem& item : definition.items) {
            const size_t position = index++;
            if (!item.member) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromLatin1(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            const QKeySequence& key = keys[position];
            if (takes[position])
                action->setShortcut(key);
            else if (!key.isEmpty())
                // The text after a tab is shown in the shortcut column without binding the key.
                action->setText(action->text() + QLatin1Char('\t') +
                                key.toString(QKeySequence::NativeText));
            this->*item.member = action;
        }
    }
}

void TFNav::buildToolBars() {
    tRealtime = makeToolBar(this, "tRealtime");
    addButton(tRealtime, &TFNav::Realtime, this, "Realtime", "Realtime", 0);
    Realtime->setCheckable(true);
    addButton(tRealtime, &TFNav::tbRunline, this, "tbRunline", "Runline", 97);
    addButton(tRealtime, &TFNav::ConnectIcon, this, "ConnectIcon", "Settings", 97);
    addButton(tRealtime, &TFNav::tbFixed, this, "tbFixed", "Fixed", 97);
    addButton(tRealtime, &TFNav::tbFloat, this, "tbFloat", "Float", 97);
    addButton(tRealtime, &TFNav::tbAuto, this, "tbAuto", "Auto", 97);
    tRealtime->addSeparator();
    addButton(tRealtime, &TFNav::bSelectTracks, this, "bSelectTracks", "Select Track", 97);
    addButton(tRealtime, &TFNav::bDelSelected, this, "bDelSelected", "Delete Slected", 97);
    tRealtime->addSeparator();
    addButton(tRealtime, &TFNav::bFollowVessel, this, "bFollowVessel", "Follow", 97);
    addButton(tRealtime, &TFNav::ToolButton13, this, "ToolButton13", "No follow", 97);
    addToolBar(Qt::TopToolBarArea, tRealtime);
    addToolBarBreak(Qt::TopToolBarArea);

    tDraw = makeToolBar(this, "tDraw");
    addButton(tDraw, &TFNav::bOpen, this, "bOpen", "Open", 115);
    addButton(tDraw, &TFNav::bSave, this, "bSave", "Save", 115);
    tDraw->addSeparator();
    addButton(tDraw, &TFNav::Zoomin, this, "Zoomin", "Zoom In", 115);
    addButton(tDraw, &TFNav::Zoomout, this, "Zoomout", "Zoom Out", 115);
    addImageButton(tDraw, &TFNav::Zoomextents, this, "Zoomextents",
                   ToolIcon(ToolImage::ZoomExtents), "Zoom extents");
    addImageButton(tDraw, &TFNav::Zoomwindow, this, "Zoomwindow", ToolIcon(ToolImage::ZoomWindow),
                   "Zoom window");
    addImageButton(tDraw, &TFNav::Zoomdynamic, this, "Zoomdynamic",
                   ToolIcon(ToolImage::ZoomDynamic), "Dynamic zoom");
    addImageButton(tDraw, &TFNav::Zoompan, this, "Zoompan", ToolIcon(ToolImage::Pan), "Pan");
    tDraw->addSeparator();
    addImageButton(tDraw, &TFNav::bMouseSelect, this, "bMouseSelect", ToolIcon(ToolImage::Select),
                   "Select");
    addButton(tDraw, &TFNav::ToolButton11, this, "ToolButton11", "Clear User Shapes", 115);
    tDraw->addSeparator();
    addButton(tDraw, &TFNav::btEventAdd, this, "btEventAdd", "Add Event", 115);
    addButton(tDraw, &TFNav::btEventReset, this, "btEventReset", "Reset Event", 115);
    tDraw->addSeparator();
    addImageButton(tDraw, &TFNav::bExit, this, "bExit", ToolIcon(ToolImage::Exit), "Exit");
    addImageButton(tDraw, &TFNav::bRestart, this, "bRestart", ToolIcon(ToolImage::Restart),
                   "Restart");
    addToolBar(Qt::TopToolBarArea, tDraw);

    tShape = makeToolBar(this, "tShape");
    tShape->setOrientation(Qt::Vertical);
    addImageButton(tShape, &TFNav::ToolButton7, this, "ToolButton7", ToolIcon(ToolImage::Point),
                   "Point");
    addImageButton(tShape, &TFNav::ToolButton12, this, "ToolButton12", ToolIcon(ToolImage::Line),
                   "Line");
    addImageButton(tShape, &TFNav::ToolButton21, this, "ToolButton21",
                   ToolIcon(ToolImage::Rectangle), "Rectangle");
    addImageButton(tShape, &TFNav::ToolButton23, this, "ToolButton23",
                   ToolIcon(ToolImage::Polyline), "Polyline");
    addImageButton(tShape, &TFNav::ToolButton27, this, "ToolButton27", ToolIcon(ToolImage::Ellipse),
                   "Ellipse");
    addImageButton(tShape, &TFNav::ToolButton28, this, "ToolButton28", ToolIcon(ToolImage::Polygon),
                   "Polygon");
    addImageButton(tShape, &TFNav::ToolButton29, this, "ToolButton29", ToolIcon(ToolImage::Spline),
                   "Spline");
    addImageButton(tShape, &TFNav::ToolButton30, this, "ToolButton30", ToolIcon(ToolImage::Arc),
                   "Three-point arc");
    addImageButton(tShape, &TFNav::ToolButton31, this, "ToolButton31", ToolIcon(ToolImage::Circle),
                   "Circle");
    addToolBar(Qt::LeftToolBarArea, tShape);
}

void TFNav::buildClientArea() {
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel4 = new QFrame(client);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameShape(QFrame::Panel);
    Panel4->setFrameShadow(QFrame::Sunken);
    Panel4->setLineWidth(2);
    auto* mapLayout = new QVBoxLayout(Panel4);
    mapLayout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(Panel4, 1);

    pRealtime = new QFrame(client);
    pRealtime->setObjectName(QStringLiteral("pRealtime"));
    auto* statusLayout = new QVBoxLayout(pRealtime);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    sStatusBar = new TStatusBar(pRealtime);
    sStatusBar->setObjectName(QStringLiteral("sStatusBar"));
    sStatusBar->SetPanelCount(7, 100);
    statusLayout->addWidget(sStatusBar);
    layout->addWidget(pRealtime);

    setCentralWidget(client);
}

void TFNav::FormCreate() {
    // The day's folders; a folder that cannot be made is not worth stopping the program for.
    {
        const std::string folders[] = {DayFolder, ProjectFolder,     LogFolder,        XyzFolder,
                                       SvpFolder, DayFolder + "JPG", DayFolder + "MP4"};
        for (const std::string& folder : folders) {
            std::error_code error;
            if (std::filesystem::exists(folder, error))
                continue;
            if (error || (!std::filesystem::create_directories(folder, error) && error))
                break;
        }
    }

    // The icon beside the executable is optional.
    {
        const QString iconPath =
            QString::fromStdString(AppPaths::applicationFolder()) + QStringLiteral("Selvaro2.ico");
        if (QFile::exists(iconPath)) {
            const QIcon icon(iconPath);
            if (!icon.isNull()) {
                QApplication::setWindowIcon(icon);
                setWindowIcon(icon);
            }
        }
    }

    // The language of the user interface.
    if (!Translator)
        Translator = new TTavrinTranslation();
    std::string language;
    {
        const IniFile ini(AppPaths::settingsFile());
        language = ini.readString(QStringLiteral("SETTINGS"), QStringLiteral("Language"),
                                  QStringLiteral("en"))
                       .toStdString();
        OverlayFontSize = ReadOverlayFontSize(ini);
    }
    if (language != "en")
        Translator->SetLanguage(language);

    // The language panel.
    if (sStatusBar->PanelCount() > 4) {
        sStatusBar->SetPanelText(4, QString::fromStdString(Translator->CurrentLanguage).toUpper());
        sStatusBar->SetPanelWidth(
            4, QFontMetrics(sStatusBar->font()).horizontalAdvance(QStringLiteral("EN")) + 16);
    }

    // The two ports; they stay closed until acquisition starts.
    ZGPS1 = new TTavrinSerialGPS(this);
    ZGPS1->setObjectName(QStringLiteral("ZGPS1"));
    ZSENSOR = new TTavrinSerialGPS(this);
    ZSENSOR->setObjectName(QStringLiteral("ZSENSOR"));
    CreateAcquisition();
    BindMapTickHandlers();

    // The map fills its panel and takes the style's panel colour as background.
    fcad = new TTavrinCanvas(Panel4);
    fcad->setObjectName(QStringLiteral("fcad"));
    Panel4->layout()->addWidget(fcad);
    fcad->SetBackColor(StyleManager::panelColor());

    // Canvas events.
    fcad->OnShapeNumberSelected = [this](int16_t shapeType, int32_t shapeNumber) {
        fcadShapeNumberSelected(shapeType, shapeNumber);
    };
    BindMapTools();
    BindCommands();

    // Numbers and dates: every text the program writes for a file, a device or a control
    // goes through the locale-free formats of the platform layer ('.' as decimal separator,
    // dates "YYYY-MM-DD", times "hhnnsszzz"), so there is nothing to switch here.

    PortMonitorActive = true;

    // The Start/Stop button stands out from the others.
    Realtime->setText(QStringLiteral("Start"));
    Realtime->setFixedSize(70, 28);
    QFont startFont(QStringLiteral("Segoe UI"));
    startFont.setPointSize(10);
    startFont.setBold(true);
    Realtime->setFont(startFont);
    Realtime->setAutoRaise(false);
    ShowAcquisitionState(false);
    // The translation walk treats it as the speed button it stands for.
    Realtime->setProperty("designClass", QStringLiteral("TSpeedButton"));

    BindTranslationHandlers();
    BindImport();
}

void TFNav::FormShow() {
    EnsureStandardLayers(fcad);
    TranslateUi(this);

    // The last session; anything that goes wrong here ends this step quietly.
    try {
        const IniFile ini(AppPaths::settingsFile());
        const QString lastFile =
            ini.readString(QStringLiteral("FILE"), QStringLiteral("Last File Saved"));
        // A file that is there but refused (a device, a damaged project) is not the project
        // of this run: the caption does not name it.
        bool refused = false;
        if (fcad && !lastFile.isEmpty() && QFile::exists(lastFile))
            refused = !ReloadLastProject(lastFile);
        // The vessel and the grid are drawn anew by the map tick and the settings window.
        if (fcad) {
            for (const QString& layer :
                 {QStringLiteral("~~Tavrin Vessel"), QStringLiteral("Tavrin Grid")}) {
                const int id = fcad->LayerFindByName(layer);
                if (id != -1)
                    fcad->CadClearShapes(id);
            }
        }
        setWindowTitle(CaptionPrefix + (refused ? QString() : lastFile));

        if (fcad) {
            const QString canvas = QStringLiteral("CANVAS");
            fcad->PlanWorldLeft = ini.readFloat(canvas, QStringLiteral("PlanWorldLeft"), 0);
            fcad->PlanWorldRight = ini.readFloat(canvas, QStringLiteral("PlanWorldRight"), 1000);
            fcad->PlanWorldTop = ini.readFloat(canvas, QStringLiteral("PlanWorldTop"), 1000);
            fcad->PlanWorldBottom = ini.readFloat(canvas, QStringLiteral("PlanWorldBottom"), 0);
            fcad->GridAutoScale = ini.readBool(canvas, QStringLiteral("GridAutoScale"), true);
            fcad->DepthSpeedDisplayMode =
                ini.readInteger(canvas, QStringLiteral("DepthSpeedDisplayMode"), 0);
            fcad->GGAOverlayPosition =
                ini.readInteger(canvas, QStringLiteral("GGAOverlayPosition"), 0);
            fcad->Refresh();
        }

        ApplyStoredScreenshotInterval(ini);
    } catch (...) {
    }

    // Once more: a loaded project may lack some of them.
    EnsureStandardLayers(fcad);

    RestoreFormState(this, 1);
    // The windows made visible with their creation were placed before this window had its
    // tool bars; a first start puts them clear of them now. A stored position stays as stored.
    for (QWidget* early : {static_cast<QWidget*>(Navset), static_cast<QWidget*>(fJoystick)})
        if (early && early->isVisible())
            RestoreFormState(early, 0);

    if (Offsets)
        Offsets->show();
    if (fJoystick)
        fJoystick->show();
}

void TFNav::FormCloseQuery() {
    Realtime->setEnabled(false);
    // Port events and timer messages already queued are handled before the ports close.
    QCoreApplication::processEvents();
    QThread::msleep(50);
    // A port that fails to close must not keep the program from closing.
    for (TTavrinSerialGPS* port : {ZGPS1, ZSENSOR}) {
        try {
            if (port)
                port->Close();
        } catch (...) {
        }
    }
    QThread::msleep(50);

    // A save that fails is reported, and the positions and the view are still stored.
    ErrorBoundary::run([this] { Save1Click(); });

    // A settings file that cannot be written (a read-only program folder) loses the session
    // quietly unless the operator hears of it; the closing goes on all the same.
    bool settingsWritten = true;
    QWidget* const positions[] = {Offsets, Navset,    this,      fRealtime,
                                  fSVP,    fRunline1, fWaterfal, fJoystick};
    for (QWidget* form : positions) {
        if (form && !SaveFormState(form))
            settingsWritten = false;
    }
    QWidget* const toClose[] = {Navset, Offsets, FGPS, fRealtime, fRunline1, fWaterfal};
    for (QWidget* form : toClose) {
        if (form)
            form->close();
    }
    if (Navset && !Navset->SettingsWritten())
        settingsWritten = false;

    if (fcad) {
        IniFile ini(AppPaths::settingsFile());
        const QString canvas = QStringLiteral("CANVAS");
        ini.writeFloat(canvas, QStringLiteral("PlanWorldLeft"), fcad->PlanWorldLeft);
        ini.writeFloat(canvas, QStringLiteral("PlanWorldRight"), fcad->PlanWorldRight);
        ini.writeFloat(canvas, QStringLiteral("PlanWorldTop"), fcad->PlanWorldTop);
        ini.writeFloat(canvas, QStringLiteral("PlanWorldBottom"), fcad->PlanWorldBottom);
        ini.writeBool(canvas, QStringLiteral("GridAutoScale"), fcad->GridAutoScale);
        ini.writeInteger(canvas, QStringLiteral("DepthSpeedDisplayMode"),
                         fcad->DepthSpeedDisplayMode);
        ini.writeInteger(canvas, QStringLiteral("GGAOverlayPosition"), fcad->GGAOverlayPosition);
        if (!ini.flush())
            settingsWritten = false;
    }
    if (!settingsWritten)
        Dialogs::showError(
            QStringLiteral("Cannot write the settings file %1: the window positions and the map "
                           "view of this session are not kept.")
                .arg(AppPaths::settingsFile()));
}

void TFNav::fcadShapeNumberSelected(int16_t, int32_t) {}

void EnsureStandardLayers(TTavrinCanvas* canvas) {
    if (!canvas)
        return;
    const struct {
        const char* name;
        int* id;
    } layers[] = {
        {"Tavrin Grid", &GridLayerId},           {"track_fix", &TrackFixLayerId},
        {"track_nofix", &TrackNoFixLayerId},     {"track_float", &TrackFloatLayerId},
        {"tavrin_tempshape", &TempShapeLayerId}, {"tavrin_usershape", &UserShapeLayerId},
        {"event_number", &EventLayerId},         {"~~Tavrin Vessel", &VesselLayerId},
    };
    for (const auto& layer : layers) {
        const QString name = QString::fromLatin1(layer.name);
        int id = canvas->LayerFindByName(name);
        if (id == -1)
            id = canvas->LayerOpen(name);
        *layer.id = id;
    }
}

void TFNav::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The session is restored once per run, not each time the window reappears.
    if (formShowDone_)
        return;
    formShowDone_ = true;
    ErrorBoundary::run([this] { FormShow(); });
}

void TFNav::closeEvent(QCloseEvent* event) {
    // Processing pending events while closing may deliver another close request: the steps
    // run once, and the first request finishes the close.
    if (closing_ == Closing::Running) {
        event->ignore();
        return;
    }
    if (closing_ == Closing::NotStarted) {
        if (!endCannotWait_ && !WaitingRowsLetClose()) {
            event->ignore();
            return;
        }
        closing_ = Closing::Running;
        ErrorBoundary::run([this] { FormCloseQuery(); });
        closing_ = Closing::Done;
    }
    event->accept();
}
