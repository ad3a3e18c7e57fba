#pragma once

#include "settings/NavigationSettings.h"

#include <QWidget>

#include <optional>

class FieldCheck;
class NavigationSettingsLinks;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class TColorBox;
class TTavrinCanvas;
class TUpDown;

// Navigation display settings: the vessel's pen, the track colours, width and spacing, the
// map background, the map update rate and the shallow-water alert. A small window on top,
// shown at start; it reads the settings file each time it is shown and writes it when it is
// closed. Changes to the widths, the vessel colour and the background reach the map at once,
// the update rate reaches the main window's map timer.
//
// The map tick and the sounder line handler read Settings(), the last accepted values, never
// the edits: a half-typed or mistyped text is neither used nor stored.
class TNavset : public QWidget {
    Q_OBJECT
public:
    explicit TNavset(NavigationSettingsLinks* links = nullptr, QWidget* parent = nullptr);

    // The map, its tick and the program's closing, as far as the settings reach them.
    NavigationSettingsLinks* const Links;

    const NavigationSettings& Settings() const { return Values; }

    QGroupBox* GroupBox1 = nullptr; // " Vessel Color && Width"
    TColorBox* VesselColor = nullptr;
    QLineEdit* VesselWidth = nullptr;
    TUpDown* UpDownVesselWidth = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* eVesselUpdateRate = nullptr;
    TUpDown* UpDownUpdateRate = nullptr;
    QGroupBox* GroupBox2 = nullptr; // "Background Color"
    TColorBox* fcadColor = nullptr;
    QGroupBox* GroupBox3 = nullptr; // " Track Lines (Fixed/Float)"
    TColorBox* ColorTracklines1 = nullptr;
    TColorBox* ColorTracklines0 = nullptr;
    QCheckBox* cLineOrDot = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* TrackWidth = nullptr;
    TUpDown* UpDownTrackWidth = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* TrackDistance = nullptr;
    TUpDown* UpDownTrackDistance = nullptr;
    QGroupBox* GroupBox4 = nullptr; // "Alert"
    QLabel* Label7 = nullptr;
    QLineEdit* edDepthAlert1 = nullptr;
    QLabel* Label9 = nullptr;

    // A spontaneous show (the window coming back from minimised) keeps the settings in effect.
    void FormShow(bool spontaneous = false);
    void FormCloseQuery();
    // The last close wrote the settings file.
    bool SettingsWritten() const { return Written; }
    void FormHide();

    void VesselColorChange();
    void VesselWidthChange();
    void eVesselUpdateRateChange();
    void fcadColorChange();
    void TrackWidthChange();
    void TrackDistanceChange();
    void edDepthAlert1Change();

    // Ends the editing of every field: a text that fails goes back to its last accepted one.
    void FinishEditing();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    // An edit emptied by the operator gets `text`, selected so that the next key replaces it.
    static void ReplaceEmpty(QLineEdit* edit, const char* text);
    // The steps the width and distance handlers share: an emptied field gets `emptyText` (its
    // handler runs again with it), a refused text is marked; an accepted value is returned
    // and becomes the up-down's position.
    static std::optional<int> TakeWholeNumber(FieldCheck* field, TUpDown* upDown,
                                              const char* emptyText);
    void ShowValues();
    // The main window's map, or null while there is none.
    TTavrinCanvas* Map() const;
    // The map when it has the vessel layer (its id in `layer`), else null.
    TTavrinCanvas* VesselLayerMap(int& layer) const;
    static void Repaint(TTavrinCanvas* map);

    NavigationSettings Values;
    bool Written = true;
    FieldCheck* VesselWidthCheck = nullptr;
    FieldCheck* UpdateRateCheck = nullptr;
    FieldCheck* TrackWidthCheck = nullptr;
    FieldCheck* TrackDistanceCheck = nullptr;
    FieldCheck* DepthAlertCheck = nullptr;
};

extern TNavset* Navset;
