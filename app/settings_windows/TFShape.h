#pragma once

#include "canvas/VesselSymbol.h"

#include <QWidget>

class FieldCheck;
class QBoxLayout;
class QGroupBox;
class QLabel;
class QPushButton;
class TLabeledEdit;

// The five numbers of the vessel symbol that the map tick draws: the circles around the
// vessel and the arrow along its heading. Read from the settings file once, at creation;
// written only by "Save && Hide". The map tick reads Shape(), the last accepted numbers: an
// edit being typed in, or holding a refused text, leaves them as they were.
class TFShape : public QWidget {
    Q_OBJECT
public:
    explicit TFShape(QWidget* parent = nullptr);

    const VesselShape& Shape() const { return Values; }

    QGroupBox* GroupBox1 = nullptr;
    TLabeledEdit* edRadious = nullptr;
    TLabeledEdit* edInterval = nullptr;
    TLabeledEdit* edAmount = nullptr;
    TLabeledEdit* edLArrow = nullptr;
    TLabeledEdit* edBArrow = nullptr;
    QPushButton* bDefault = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

    void FormCreate();
    void BitBtn1Click();
    void bDefaultClick();

protected:
    // The window has no close button; a window manager's close only hides it, saving nothing.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void EditChange(FieldCheck* field);
    void ShowValues(const VesselShape& shape);

    VesselShape Values;
    FieldCheck* RadiusCheck = nullptr;
    FieldCheck* IntervalCheck = nullptr;
    FieldCheck* AmountCheck = nullptr;
    FieldCheck* SideCheck = nullptr;
    FieldCheck* BowCheck = nullptr;
};

extern TFShape* FShape;
