#include "app/sound_velocity/TfSVPGraph.h"

#include "app/sound_velocity/ProfileGraphPainter.h"
#include "app/widgets/TPaintBox.h"

#include "platform/Dialogs.h"
#include "platform/ErrorBoundary.h"
#include "platform/WindowStacking.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

TfSVPGraph* fSVPGraph = nullptr;

namespace {

const QString PointerHint =
    QStringLiteral("Drag points to edit SV, or draw lasso to select spikes");

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TfSVPGraph::TfSVPGraph(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fSVPGraph"));
    setWindowTitle(QStringLiteral("SVP Profile Graph - Drag Points or Lasso Select"));
    // It is opened from the sound velocity window, which stays on top: a modal dialog behind it
    // would leave the program waiting for a window nobody can see.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(900, 550);

    const auto bind = [this](QPushButton* button, void (TfSVPGraph::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { ErrorBoundary::run([this, handler] { (this->*handler)(); }); });
    };

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(5);
    Splitter1->setChildrenCollapsible(false);

    PaintBox1 = new TPaintBox(Splitter1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setMinimumSize(200, 150);
    PaintBox1->OnPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };
    PaintBox1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) {
        PaintBox1MouseDown(b, x, y);
    };
    PaintBox1->OnMouseMove = [this](int x, int y) { PaintBox1MouseMove(x, y); };
    PaintBox1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseUp(b, x, y); };
    PaintBox1->OnResize = [this] {
        Model.Width = PaintBox1->width();
        Model.Height = PaintBox1->height();
    };

    PanelGrid = new QWidget(Splitter1);
    PanelGrid->setObjectName(QStringLiteral("PanelGrid"));
    auto* gridLayout = new QVBoxLayout(PanelGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    StringGrid1 = new QTableWidget(0, 3, PanelGrid);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setDefaultSectionSize(60);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    gridLayout->addWidget(StringGrid1, 1);
    bAddRow = MakeButton(PanelGrid, "bAddRow", QStringLiteral("Add Row"));
    bDeleteRow = MakeButton(PanelGrid, "bDeleteRow", QStringLiteral("Delete Row"));
    for (QPushButton* button : {bAddRow, bDeleteRow}) {
        button->setFixedHeight(40);
        gridLayout->addWidget(button);
    }
    Splitter1->addWidget(PaintBox1);
    Splitter1->addWidget(PanelGrid);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({700, 195});

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(50);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(8, 0, 8, 0);
    Label1 = new QLabel(PointerHint, Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    panelLayout->addWidget(Label1, 1);
    bDeleteSelected = MakeButton(Panel1, "bDeleteSelected", QStringLiteral("Delete Selected (0)"));
    bDeleteSelected->setEnabled(false);
    bSaveAndClose = MakeButton(Panel1, "bSaveAndClose", QStringLiteral("Save && Close"));
    bCancel = MakeButton(Panel1, "bCancel", QStringLiteral("Cancel"));
    for (QPushButton* button : {bDeleteSelected, bSaveAndClose, bCancel}) {
        button->setAutoDefault(false);
        panelLayout->addWidget(button);
    }
    bAddRow->setAutoDefault(false);
    bDeleteRow->setAutoDefault(false);

    auto* formLayout = new QVBoxLayout(this);
    formLayout->setContentsMargins(0, 0, 0, 0);
    formLayout->setSpacing(0);
    formLayout->addWidget(Splitter1, 1);
    formLayout->addWidget(Panel1);

    bind(bDeleteSelected, &TfSVPGraph::bDeleteSelectedClick);
    bind(bSaveAndClose, &TfSVPGraph::bSaveAndCloseClick);
    bind(bCancel, &TfSVPGraph::bCancelClick);
    bind(bAddRow, &TfSVPGraph::bAddRowClick);
    bind(bDeleteRow, &TfSVPGraph::bDeleteRowClick);
    connect(StringGrid1, &QTableWidget::cellClicked, this,
            [this] { ErrorBoundary::run([this] { StringGrid1Click(); }); });
    // Moving through the grid with the keys selects too; a refill moving the current cell
    // does not.
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this] {
        if (!fillingGrid_)
            ErrorBoundary::run([this] { StringGrid1Click(); });
    });

    FormCreate();
}

void TfSVPGraph::FormCreate() {
    PaintBox1->OnDblClick = [this] { PaintBox1DblClick(); };
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("Depth (m)"), QStringLiteral("SV (m/s)"), QStringLiteral("Hits")});
}

void TfSVPGraph::LoadPoints(const std::vector<std::string>& lines) {
    Model.LoadPoints(lines);
    // A new list has nothing selected: an outline and count left from the last opening would
    // offer to delete spikes that are not marked.
    Model.LassoPoints.clear();
    LassoActive = false;
    Dragging = false;
    DragIndex = -1;
    PaintBox1->unsetCursor();
    ShowSelectedCount(0);
    FillGrid();
    PaintBox1->update();
}

int TfSVPGraph::ShowModal() {
    return WindowStacking::execModal(this) == QDialog::Accepted ? 1 : 2;
}

std::vector<std::string> TfSVPGraph::WritePoints() const {
    return Model.WritePoints();
}

void TfSVPGraph::FillGrid() {
    SetGridRows(Model.FillGrid());
}

void TfSVPGraph::SetGridRows(const std::vector<std::vector<std::string>>& rows) {
    fillingGrid_ = true;
    StringGrid1->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        SetGridRow(static_cast<int>(i), rows[i]);
    fillingGrid_ = false;
}

void TfSVPGraph::GridToPoints() {
    Model.GridToPoints(GridRows());
}

std::vector<std::vector<std::string>> TfSVPGraph::GridRows() const {
    std::vector<std::vector<std::string>> rows(static_cast<size_t>(StringGrid1->rowCount()));
    for (int r = 0; r < StringGrid1->rowCount(); ++r)
        for (int c = 0; c < StringGrid1->columnCount(); ++c) {
            const QTableWidgetItem* item = StringGrid1->item(r, c);
            rows[static_cast<size_t>(r)].push_back(item ? item->text().toStdString()
                                                        : std::string());
        }
    return rows;
}

void TfSVPGraph::SetGridRow(int row, const std::vector<std::string>& texts) {
    for (int c = 0; c < StringGrid1->columnCount() && c < static_cast<int>(texts.size()); ++c) {
        const QString text = QString::fromStdString(texts[static_cast<size_t>(c)]);
        if (QTableWidgetItem* item = StringGrid1->item(row, c))
            item->setText(text);
        else
            StringGrid1->setItem(row, c, new QTableWidgetItem(text));
    }
}

void TfSVPGraph::ShowSelectedCount(int count) {
    bDeleteSelected->setText(QStringLiteral("Delete Selected (%1)").arg(count));
    bDeleteSelected->setEnabled(count > 0);
}

void TfSVPGraph::PaintBox1Paint(QPainter& painter) {
    ProfileGraphPainter(painter, Model).Paint(Dragging ? DragIndex : -1, LassoActive);
}

void TfSVPGraph::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton)
        return;
    const int i = Model.FindPointAt(x, y);
    if (i >= 0) {
        Dragging = true;
        DragIndex = i;
        PaintBox1->setCursor(Qt::SizeAllCursor);
    } else {
        Model.LassoPoints.clear();
        Model.LassoPoints.push_back({x, y});
        LassoActive = true;
    }
    PaintBox1->update();
}

void TfSVPGraph::PaintBox1MouseMove(int x, int y) {
    if (Dragging && DragIndex >= 0 && DragIndex < static_cast<int>(Model.Points.size())) {
        if (Model.DragTo(DragIndex, x)) {
            // Only the dragged point's row changes: refilling the whole grid on every move
            // would cost a frame per thousand rows.
            SetGridRow(DragIndex, Model.GridRow(static_cast<size_t>(DragIndex)));
            PaintBox1->update();
        }
    } else if (LassoActive && !Model.LassoPoints.empty()) {
        if (Model.ExtendLasso(x, y))
            PaintBox1->update();
    } else if (Model.FindPointAt(x, y) >= 0) {
        PaintBox1->setCursor(Qt::PointingHandCursor);
    } else {
        PaintBox1->unsetCursor();
    }
    Label1->setText(QString::fromStdString(Model.PointerText(x, y)));
}

void TfSVPGraph::PaintBox1MouseUp(Qt::MouseButton button, int, int) {
    if (button != Qt::LeftButton)
        return;
    if (Dragging) {
        Dragging = false;
        DragIndex = -1;
        PaintBox1->unsetCursor();
        Model.CalcRanges();
        PaintBox1->update();
    } else if (LassoActive) {
        LassoActive = false;
        if (Model.LassoPoints.size() >= 3)
            ShowSelectedCount(Model.SelectInLasso());
        PaintBox1->update();
    }
}

void TfSVPGraph::PaintBox1DblClick() {
    Model.CalcRanges();
    PaintBox1->update();
}

bool TfSVPGraph::FormMouseWheel(int delta, const QPoint& globalPosition) {
    const QPoint at = PaintBox1->mapFromGlobal(globalPosition);
    Model.Wheel(at.x(), at.y(), delta > 0);
    PaintBox1->update();
    return true;
}

void TfSVPGraph::wheelEvent(QWheelEvent* event) {
    // Only the vertical wheel zooms; a sideways tilt is not a zoom step.
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        QDialog::wheelEvent(event);
        return;
    }
    bool handled = false;
    const QPoint global = event->globalPosition().toPoint();
    ErrorBoundary::run([&] { handled = FormMouseWheel(delta, global); });
    event->setAccepted(handled);
}

void TfSVPGraph::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ErrorBoundary::run([this] { FormResize(); });
}

void TfSVPGraph::bDeleteSelectedClick() {
    Model.DeleteSelected();
    ShowSelectedCount(0);
    FillGrid();
    PaintBox1->update();
}

void TfSVPGraph::bSaveAndCloseClick() {
    // Reading the grid back skips a row it cannot read; on closing that would drop what the
    // operator typed (a decimal comma, a slip) from the list without a word.
    const auto rows = GridRows();
    const int unreadable = ProfileGraphModel::FirstUnreadableRow(rows);
    if (unreadable >= 0) {
        fillingGrid_ = true;
        StringGrid1->setCurrentCell(unreadable, 0);
        fillingGrid_ = false;
        const auto& row = rows[static_cast<size_t>(unreadable)];
        Dialogs::showWarning(
            QStringLiteral("Row %1 (\"%2\", \"%3\") is not a depth and a velocity. Correct the row "
                           "or delete it before saving.")
                .arg(unreadable + 1)
                .arg(QString::fromStdString(row.size() > 0 ? row[0] : std::string()),
                     QString::fromStdString(row.size() > 1 ? row[1] : std::string())));
        return;
    }
    Model.GridToPoints(rows);
    done(QDialog::Accepted);
}

void TfSVPGraph::bCancelClick() {
    done(QDialog::Rejected);
}

void TfSVPGraph::FormResize() {
    PaintBox1->update();
}

void TfSVPGraph::bAddRowClick() {
    auto rows = GridRows();
    rows.push_back(Model.NewGridRow());
    SetGridRows(rows);
    GridToPoints();
    PaintBox1->update();
}

void TfSVPGraph::bDeleteRowClick() {
    auto rows = GridRows();
    const size_t before = rows.size();
    ProfileGraphModel::DeleteGridRow(rows, StringGrid1->currentRow());
    if (rows.size() != before)
        SetGridRows(rows);
    GridToPoints();
    PaintBox1->update();
}

void TfSVPGraph::StringGrid1Click() {
    const int r = StringGrid1->currentRow() + 1;
    if (r < 1 || r > static_cast<int>(Model.Points.size()))
        return;
    Model.SelectOnly(r - 1);
    PaintBox1->update();
}
