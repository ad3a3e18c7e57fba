#pragma once

#include <QMainWindow>

#include "platform/RepeatedErrorGuard.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class IniFile;
class QAction;
class QFrame;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class ScreenshotTaker;
class TStatusBar;
class TTavrinNumericKeypad;
class TTavrinSimpleKeyboard;
class TTavrinCanvas;
class TTavrinSerialGPS;
class AcquisitionSession;

// The main window: a frame of menus, tool bars and a status bar around the map. It builds the
// day's folders, the language and the map when it is created, restores the last session when
// it is first shown, and closes the devices, stores the session and closes the tool windows
// when it is closed. Closing it ends the program.
class TFNav : public QMainWindow {
    Q_OBJECT
public:
    explicit TFNav(QWidget* parent = nullptr);
    ~TFNav() override;

    // The GNSS receiver's and the echo sounder's ports; owned by the window.
    TTavrinSerialGPS* ZGPS1 = nullptr;
    TTavrinSerialGPS* ZSENSOR = nullptr;
    // The map, filling Panel4; owned by the window.
    TTavrinCanvas* fcad = nullptr;
    // Datum parameter text that the map tick builds once per run; empty until then.
    std::string DatumParameters;
    // Incoming device lines are echoed to the device settings window's monitors while set.
    bool PortMonitorActive = false;

    // Menu "File".
    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Import1 = nullptr;
    QAction* Export1 = nullptr;
    QAction* Exit1 = nullptr;
    // Menu "Zoom".
    QMenu* Zoom1 = nullptr;
    QAction* In1 = nullptr;
    QAction* Out1 = nullptr;
    QAction* Extents1 = nullptr;
    QAction* Window2 = nullptr;
    QAction* Dynamic1 = nullptr;
    // Menu "Tools".
    QMenu* Tools1 = nullptr;
    QAction* VesselShape1 = nullptr;
    QAction* OpenLogFolder1 = nullptr;
    QAction* LatencyWatchSet1 = nullptr;
    QAction* TranslationEditor1 = nullptr;
    // Menu "Edit".
    QMenu* Edit1 = nullptr;
    QAction* Cleartracksunfixed1 = nullptr;
    QAction* Cleartracksfixed1 = nullptr;
    QAction* Clearshapesuseradded1 = nullptr;
    QAction* Deletetracksselected1 = nullptr;
    QAction* Followvessel1 = nullptr;
    QAction* Donotfollowvessel1 = nullptr;
    QAction* MarkEvent1 = nullptr;
    // Menu "Window".
    QMenu* Window1 = nullptr;
    QAction* NavigationSettings1 = nullptr;
    QAction* mRealtimeWindow1 = nullptr;
    QAction* Echogram1 = nullptr;
    QAction* OffsetsandValues1 = nullptr;
    QAction* themeSelection1 = nullptr;
    QAction* SoundVelocityProfile1 = nullptr;
    QAction* TavrinNTRIPClient1 = nullptr;
    QAction* Generate1 = nullptr;
    QAction* Parameters1 = nullptr;
    // Menu "Help".
    QMenu* Help1 = nullptr;
    QAction* RemoteSupport1 = nullptr;
    QAction* About1 = nullptr;

    // Top row: acquisition and track commands.
    QToolBar* tRealtime = nullptr;
    QToolButton* Realtime = nullptr;
    QToolButton* tbRunline = nullptr;
    QToolButton* ConnectIcon = nullptr;
    QToolButton* tbFixed = nullptr;
    QToolButton* tbFloat = nullptr;
    QToolButton* tbAuto = nullptr;
    QToolButton* bSelectTracks = nullptr;
    QToolButton* bDelSelected = nullptr;
    QToolButton* bFollowVessel = nullptr;
    QToolButton* ToolButton13 = nullptr;
    // Second row: files, zoom, selection, events, exit.
    QToolBar* tDraw = nullptr;
    QToolButton* bOpen = nullptr;
    QToolButton* bSave = nullptr;
    QToolButton* Zoomin = nullptr;
    QToolButton* Zoomout = nullptr;
    QToolButton* Zoomextents = nullptr;
    QToolButton* Zoomwindow = nullptr;
    QToolButton* Zoomdynamic = nullptr;
    QToolButton* Zoompan = nullptr;
    QToolButton* bMouseSelect = nullptr;
    QToolButton* ToolButton11 = nullptr;
    QToolButton* btEventAdd = nullptr;
    QToolButton* btEventReset = nullptr;
    QToolButton* bExit = nullptr;
    QToolButton* bRestart = nullptr;
    // Left edge: the drawing tools, top to bottom.
    QToolBar* tShape = nullptr;
    QToolButton* ToolButton7 = nullptr;  // point
    QToolButton* ToolButton12 = nullptr; // line
    QToolButton* ToolButton21 = nullptr; // rectangle
    QToolButton* ToolButton23 = nullptr; // polyline
    QToolButton* ToolButton27 = nullptr; // ellipse
    QToolButton* ToolButton28 = nullptr; // polygon
    QToolButton* ToolButton29 = nullptr; // spline
    QToolButton* ToolButton30 = nullptr; // three-point arc
    QToolButton* ToolButton31 = nullptr; // circle

    // The map's panel, filling the rest of the window.
    QFrame* Panel4 = nullptr;
    QFrame* pRealtime = nullptr;
    TStatusBar* sStatusBar = nullptr;

    QTimer* tMap = nullptr;
    QTimer* tEchogram = nullptr;
    QTimer* tScreenshot = nullptr;

    void FormCreate();
    void FormShow();
    void FormCloseQuery();

    // ---- Translation (TFNavTranslation.cpp) ----
    void TranslationEditor1Click();
    void BindTranslationHandlers();

    // ---- DXF export (TFNavDxfExport.cpp) ----
    // "Export...": the visible map as an AutoCAD R12 DXF file chosen in a save dialog.
    void Export1Click();

    // ---- Import (TFNavImport.cpp) ---------------------------------------------------------
    // "Import...": a KML/KMZ, XYZ or DXF file onto a layer named after it.
    void BindImport();
    void Import1Click();
    // The KML import's conversion of a latitude and longitude to grid coordinates with the
    // device settings' datum and projection, read anew at every call.
    void GeoToGridCallback(double Lat, double Lon, double& X, double& Y);

    // ---- Project files (TFNavProjectFiles.cpp) ------------------------------------------------
    // New: empties the map (the layers stay) after a Yes.
    void New1Click();
    // Open: adds a project file's layers and shapes to the map.
    void Open1Click();
    // The auto-save: the map to a new file named after the date and time in the day's project
    // folder, remembered for the next start. True when the project file was written; a failure
    // is shown and logged. Closing, Exit and the tool windows call it too.
    bool Save1Click();
    // Save As: the map to a file the operator names; the next start still reloads the last
    // auto-save.
    void SaveAs1Click();
    // Closes the program; its closing steps write the auto-save once.
    void Exit1Click();
    // Remembers the file opened or imported last and shows its folder in the status bar.
    void ShowProjectFolder(const QString& fileName);
    // The start's replacing load of the last auto-saved file; a file that cannot be loaded is
    // reported and leaves the map as it was. True when it loaded.
    bool ReloadLastProject(const QString& fileName);

    // Screenshot interval (TFNavScreenshotInterval.cpp): the stored interval runs the
    // screenshot timer and shows in the device settings window's interval edit.
    void ApplyStoredScreenshotInterval(const IniFile& ini);

    // Selecting a shape with the mouse needs no answer from the main window.
    void fcadShapeNumberSelected(int16_t shapeType, int32_t shapeNumber);

    // ---- Map tools and selection modes (TFNavMapTools.cpp) ---------------------------------
    // Binds the map's buttons, the Zoom and Edit menu items, the canvas events and the keys.
    void BindMapTools();
    void ZoominClick();
    void ZoomoutClick();
    void ZoomextentsClick();
    void ZoomwindowClick();
    void ZoomdynamicClick();
    void bFollowVesselClick();
    void ToolButton13Click();
    void ToolButton11Click();
    void tbFixedClick();
    void tbFloatClick();
    void tbAutoClick();
    void ToolButton10Click();
    void ToolButton9Click();
    void ToolButton16Click();
    void ToolButton14Click();
    void ToolButton19Click();
    void ToolButton15Click();
    void ToolButton17Click();
    void ToolButton20Click();
    void ToolButton18Click();
    void bMouseSelectClick();
    void bSelectTracksClick();
    void bDelSelectedClick();
    void fcadWorldMouseMove(int16_t shift, double x, double y, double magnitude, double angle);
    void fcadWorldMouseDown(int16_t button, int16_t shift, int16_t action, double x, double y);
    void fcadDrawBegin(int16_t shapeType, double x, double y);
    void fcadDrawEnd(int16_t shapeType, double x, double y);
    void fcadDblClick();
    // The main window's keys (Escape, F2, F3, Delete), seen before the window's own handling
    // of keys its controls leave unused; true when the key is consumed.
    bool FormKeyDown(int key);

    // ---- Compact view: the map without the window's chrome (TFNavCompactView.cpp) ---------
    // Whether the chrome is hidden (the realtime window's hide button shows image 1).
    bool ChromeHidden() const { return chromeHidden_; }
    // The hide button's click while the chrome is shown.
    void HideChrome();
    // Brings back the tool bars, the status panel, the navigation settings window, the border
    // and the menu, and the echogram when it is in use. The realtime window stays as it is.
    void RestoreChrome();

    // Closing: set while the closing steps run. The tool windows these steps close leave the
    // report of a settings file that cannot be written to the main window's one message.
    bool InClosingSteps() const { return closing_ == Closing::Running; }

    // Survey windows (TFNavSurveyWindows.cpp): "Realtime Window...", "Latency Watch/Set" and
    // "Offsets..." show their windows; binds these and the echogram's timer and menu item.
    void BindSurveyWindows();
    void mRealtimeWindow1Click();
    void LatencyWatchSet1Click();
    void OffsetsandValues1Click();
    // Echogram (TFNavEchogram.cpp): the echogram timer watches the sounder for silence and
    // draws the newest depth; "Echogram..." opens the window while the sensor is connected.
    void tEchogramTimer();
    void Echogram1Click();
    // The sounder has been silent for more than 5000 ms (TFNavSensorTimeout.cpp).
    void ZSENSORTimeout(QObject* Sender);

    // ---- Window commands, status bar panels, screenshots, keyboards (TFNavCommands.cpp) ----
    // Binds the window commands (the survey windows bind their own), the exit and restart
    // buttons, the status bar's click and double-click and the screenshot timer.
    void BindCommands();
    void ConnectIconClick();
    void Parameters1Click();
    void NavigationSettings1Click();
    void themeSelection1Click();
    void SoundVelocityProfile1Click();
    void VesselShape1Click();
    void tbRunlineClick();
    void Generate1Click();
    void OpenLogFolder1Click();
    void About1Click();
    void RemoteSupport1Click();
    void TavrinNTRIPClient1Click();
    // Leaves the event loop at once with status 255: no save, no window positions, no map view.
    void bExitClick();
    // Marks the restart and closes the window; the program entry starts the new instance once
    // the closing steps have written everything and the ports are closed.
    void bRestartClick();
    // A click on the folder panel opens the folder of the file loaded last.
    void StatusBarClick();
    // A double-click on the status bar switches between English and Turkish.
    void LanguageToggle();
    void tScreenshotTimer();
    // Point the on-screen keypad or keyboard at a field (a line edit or a combo box) and show
    // it over the bottom of the window's client area, clear of the status bar.
    void ShowNumericKeypad(QWidget* control);
    void ShowSimpleKeyboard(QWidget* control);
    // The top of the on-screen keyboards' panel of `height` pixels, in this window's
    // coordinates: 10 pixels above the status bar, or above the bottom when it is hidden.
    int KeyboardTop(int height) const;
    TTavrinNumericKeypad* NumericKeypad = nullptr;
    TTavrinSimpleKeyboard* SimpleKeyboard = nullptr;
    // Writes the screenshots on a worker thread; finishes a write under way when destroyed.
    std::unique_ptr<ScreenshotTaker> Screenshots;

    // ---- Acquisition: Start/Stop and the device events (TFNavAcquisition.cpp) -------------
    // The session binds the ports' events to its handlers of the same names and reads and
    // writes the windows through the main window.
    AcquisitionSession* Acquisition = nullptr;
    void CreateAcquisition();
    void RealtimeClick();
    // Start/Stop's caption and colours and the tool bar's colour for the acquisition state.
    void ShowAcquisitionState(bool running);
    // Whether a close of the operator's may go on while survey rows wait in memory for room on
    // the disk: asked through the dialogs. Waiting puts the close off until every row is
    // written (a Start in between calls it off); closing loses them.
    bool WaitingRowsLetClose();
    // Closes without asking, for an end that cannot wait (a signal, the end of the desktop
    // session): the rows still waiting get one more try, and what is lost is said.
    void CloseWithoutWaiting();
    // The map tick; the map's own work fills it.
    // ---- The map tick and event marks (TFNavMapTick.cpp) ----
    // The tick: the vessel, its track, the status line and panels, depth labels and read-outs
    // from the position record of the last GGA. Without a current position it shows the
    // receiver's state only and draws nothing.
    void tMapTimer();
    void btEventAddClick();
    void btEventResetClick();
    void BindMapTickHandlers();
    std::shared_ptr<struct MapTickRun> MapTick;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Set by CloseWithoutWaiting; the close that waits for the rows' room, while it waits.
    bool endCannotWait_ = false;
    QTimer* closeWhenWritten_ = nullptr;
    void buildMenus();
    void buildToolBars();
    void buildClientArea();
    void bindProjectFileCommands();

    bool formShowDone_ = false;
    // Map tools: the vertices of the line chain being drawn, the route it may become.
    std::vector<std::pair<double, double>> lineChainPoints_;
    // Compact view.
    bool chromeHidden_ = false;
    void setBorderShown(bool shown);
    // Screenshots: a failing copy or write is told once per spell.
    RepeatedErrorGuard screenshotGuard_{QStringLiteral("Screenshots")};
    RepeatedErrorGuard screenshotWriteGuard_{QStringLiteral("Screenshots")};
    enum class Closing { NotStarted, Running, Done };
    Closing closing_ = Closing::NotStarted;
};

extern TFNav* FNav;

// Finds or opens the standard layers of the map and keeps their ids below. Nothing happens
// without a canvas.
void EnsureStandardLayers(TTavrinCanvas* canvas);

// Ids of the standard map layers.
extern int GridLayerId;       // "Tavrin Grid"
extern int TrackFixLayerId;   // "track_fix"
extern int TrackNoFixLayerId; // "track_nofix"
extern int TrackFloatLayerId; // "track_float"
extern int TempShapeLayerId;  // "tavrin_tempshape"
extern int UserShapeLayerId;  // "tavrin_usershape": shapes drawn by the operator
extern int EventLayerId;      // "event_number"
extern int VesselLayerId;     // "~~Tavrin Vessel"

// Map tool state of the main window.
extern bool FollowVessel;
extern bool MeasureActive;
extern double MeasureOriginX;
extern double MeasureOriginY;
extern bool SelectTracksMode;
extern bool SelectShapesMode;
// The last opened or imported file.
extern std::string LastLoadedFile;
