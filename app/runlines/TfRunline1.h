#pragma once

#include <QWidget>

#include <utility>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class RunlineWindowLinks;

// Plans survey lines from a route drawn on the map: cross lines perpendicular to the route at a
// fixed spacing, or lines parallel to it at multiples of the spacing on both sides. The lines
// are plain polylines on the layer "Tavrin_Runlines" and are saved with the project; the route
// stays on "Tavrin_Route".
class TfRunline1 : public QWidget {
    Q_OBJECT
public:
    explicit TfRunline1(RunlineWindowLinks* links = nullptr, QWidget* parent = nullptr);

    // The map the route is read from and the lines are drawn on.
    RunlineWindowLinks* const Links;

    // "Step 1: Draw Route"
    QGroupBox* gbRoute = nullptr;
    QLabel* lRouteStatus = nullptr;
    QPushButton* bDrawRoute = nullptr;
    // "Step 2: Spacing (meters)"
    QGroupBox* gbSpacing = nullptr;
    QLineEdit* eSpacing = nullptr;
    QLabel* eSpacingLabel = nullptr;
    QLineEdit* eLength = nullptr;
    QLabel* eLengthLabel = nullptr;
    // "Step 3: Line Type"
    QGroupBox* gbType = nullptr;
    QRadioButton* rbPerpendicular = nullptr;
    QRadioButton* rbParallel = nullptr;
    // "Actions"
    QGroupBox* gbActions = nullptr;
    QPushButton* bGenerate = nullptr;
    QPushButton* bClear = nullptr;
    QPushButton* bClose = nullptr;

    // The route, (easting, northing) in world metres in drawing order.
    std::vector<std::pair<double, double>> RoutePoints;
    // Id of "Tavrin_Runlines" as the last generation found it; -1 before.
    int RunlineLayer = -1;
    // The route holds at least two points.
    bool RouteReady = false;

    void FormCreate();
    void FormShow();
    void bDrawRouteClick();
    void bGenerateClick();
    void bClearClick();
    void eSpacingChange();
    void eLengthChange();
    void rbPerpendicularClick();
    void rbParallelClick();

    // The route drawn on the map; the main window hands it over at the end of the drawing.
    void SetRoutePoints(const std::vector<std::pair<double, double>>& points);
    // Rebuilds "Tavrin_Runlines" from the route and the settings. False when nothing was drawn
    // (no route, or a generation too large, which the status label then tells).
    bool GenerateRunlines();
    // Deletes the generated lines (not the route).
    void ClearGeneratedLines();

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class RouteStatus { NoRoute, Drawing, TooFewPoints, Received, TooManyLines };
    void showStatus(RouteStatus status, size_t points = 0);
    RouteStatus status_ = RouteStatus::NoRoute;
};

extern TfRunline1* fRunline1;
