#pragma once

#include "survey/ProfileGraphModel.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class QWheelEvent;
class QWidget;
class TPaintBox;

// The graph editor of the averaged sound velocity list: a modal dialog that draws the profile
// (velocity across, depth downwards), lets the operator drag a point sideways to change its
// velocity, lasso spikes and delete them, and edit the points as grid rows. The profile, the
// view and every test on pixels live in the model; the dialog reads its controls into it and
// shows what it says.
class TfSVPGraph : public QDialog {
    Q_OBJECT
public:
    explicit TfSVPGraph(QWidget* parent = nullptr);

    // The points, the lasso outline, the shown ranges and Modified.
    ProfileGraphModel Model;
    bool LassoActive = false;
    bool Dragging = false;
    int DragIndex = -1;

    TPaintBox* PaintBox1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* PanelGrid = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QPushButton* bAddRow = nullptr;
    QPushButton* bDeleteRow = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* bDeleteSelected = nullptr;
    QPushButton* bSaveAndClose = nullptr;
    QPushButton* bCancel = nullptr;

    // Replaces the points with those of the averaged list, fits the view, fills the grid.
    void LoadPoints(const std::vector<std::string>& lines);
    // 1 when "Save && Close" ended the dialog, 2 for Cancel or the close box.
    int ShowModal();
    // One line per point in list order: "12,1500.50,3".
    std::vector<std::string> WritePoints() const;
    bool Modified() const { return Model.Modified; }

    void FillGrid();
    void GridToPoints();

    void FormCreate();
    void PaintBox1Paint(QPainter& painter);
    void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(Qt::MouseButton button, int x, int y);
    void PaintBox1DblClick();
    // Zooms about the pointer; true: the wheel is handled.
    bool FormMouseWheel(int delta, const QPoint& globalPosition);
    void bDeleteSelectedClick();
    void bSaveAndCloseClick();
    void bCancelClick();
    void FormResize();
    void bAddRowClick();
    void bDeleteRowClick();
    void StringGrid1Click();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<std::vector<std::string>> GridRows() const;
    void SetGridRows(const std::vector<std::vector<std::string>>& rows);
    void SetGridRow(int row, const std::vector<std::string>& texts);
    void ShowSelectedCount(int count);

    bool fillingGrid_ = false;
};

extern TfSVPGraph* fSVPGraph;
