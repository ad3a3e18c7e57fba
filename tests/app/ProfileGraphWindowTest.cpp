#include "SoundVelocityCast.h"
#include "StartedProgram.h"

#include "app/sound_velocity/TfSVP.h"
#include "app/sound_velocity/TfSVPGraph.h"
#include "app/widgets/TPaintBox.h"

#include "platform/NumberText.h"
#include "platform/ScriptedDialogs.h"

#include "tests/support/EventLoopWait.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <functional>

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at,
               Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove ? Qt::MouseButtons(Qt::LeftButton)
                                                              : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A press at `from`, moves through `path` and a release at its last point.
void Drag(QWidget* widget, QPoint from, const std::vector<QPoint>& path) {
    SendMouse(widget, QEvent::MouseButtonPress, from);
    for (const QPoint& at : path)
        SendMouse(widget, QEvent::MouseMove, at);
    SendMouse(widget, QEvent::MouseButtonRelease, path.empty() ? from : path.back());
}

// A wheel step over `at` of the paint box. The platform hands the paint box's unused wheel
// events on to the window; a sent event is not handed on, so it goes to the window directly.
void Wheel(QPoint at, int delta, QPoint angle = {}) {
    const QPoint global = fSVPGraph->PaintBox1->mapToGlobal(at);
    QWheelEvent event(QPointF(fSVPGraph->mapFromGlobal(global)), QPointF(global), QPoint(),
                      angle.isNull() ? QPoint(0, delta) : angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(fSVPGraph, &event);
}

QColor PixelAt(const QImage& image, QPoint at) {
    return image.pixelColor(at);
}

QString Cell(int row, int column) {
    const QTableWidgetItem* item = fSVPGraph->StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

void SetCell(int row, int column, const QString& text) {
    fSVPGraph->StringGrid1->item(row, column)->setText(text);
}

std::vector<std::string> RowTexts(int row) {
    return {Cell(row, 0).toStdString(), Cell(row, 1).toStdString(), Cell(row, 2).toStdString()};
}

class ProfileGraphWindow : public StartedProgram {
protected:
    void SetUp() override {
        StartedProgram::SetUp();
        start();
        for (QPlainTextEdit* list :
             {fSVP->mRawSVData, fSVP->mRawSVExtracted, fSVP->mSortedAveragedSV, fSVP->mSVPColumn})
            list->clear();
    }
    ScriptedDialogs& dialogs() { return TestEnvironment::dialogs(); }

    // The editor shown on its own with the given averaged list, laid out at its designed size.
    static void ShowWith(const std::vector<std::string>& lines) {
        fSVPGraph->LoadPoints(lines);
        fSVPGraph->show();
        ASSERT_TRUE(WaitUntil([] { return fSVPGraph->PaintBox1->width() > 300; }));
        ASSERT_EQ(fSVPGraph->Model.Width, fSVPGraph->PaintBox1->width());
        ASSERT_EQ(fSVPGraph->Model.Height, fSVPGraph->PaintBox1->height());
    }

    static QPoint PixelOf(int index) {
        const TSVPPoint& p = fSVPGraph->Model.Points.at(static_cast<size_t>(index));
        return {fSVPGraph->Model.SVToX(p.SV), fSVPGraph->Model.DepthToY(p.Depth)};
    }

    // "Graph" on the sound velocity window; `steps` act on the modal editor while it is open.
    // Whatever they leave open is cancelled, so a failed step cannot hang the test.
    static void OpenGraphAnd(const std::function<void()>& steps) {
        bool ran = false;
        QTimer::singleShot(0, fSVPGraph, [&] {
            ran = true;
            steps();
            if (fSVPGraph->isVisible())
                fSVPGraph->bCancelClick();
        });
        fSVP->bGraphClick();
        EXPECT_TRUE(ran);
    }
};

const std::vector<std::string> FourPoints = {"0,1500.00,3", "10,1520.00,2", "20,1510.00,4",
                                             "30,1505.00,1"};

} // namespace

TEST_F(ProfileGraphWindow, OpensModallyWithTheAveragedListAndCancelLeavesIt) {
    fSVP->mSortedAveragedSV->setPlainText(
        QStringLiteral("0,1500.000,2\n\n\n12,1500.5\n13,1501.25,3"));
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    OpenGraphAnd([] {
        EXPECT_TRUE(fSVPGraph->isModal());
        ASSERT_EQ(fSVPGraph->Model.Points.size(), 3u);
        EXPECT_EQ(fSVPGraph->Model.Points[1].Hits, 1);
        ASSERT_EQ(fSVPGraph->StringGrid1->rowCount(), 3);
        EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"12", "1500.50", "1"}));
        EXPECT_EQ(fSVPGraph->StringGrid1->horizontalHeaderItem(1)->text(),
                  QStringLiteral("SV (m/s)"));
        SetCell(1, 1, QStringLiteral("1490"));
        fSVPGraph->bCancelClick();
    });
    EXPECT_EQ(fSVP->mSortedAveragedSV->toPlainText(),
              QStringLiteral("0,1500.000,2\n\n\n12,1500.5\n13,1501.25,3"));
    EXPECT_EQ(fSVP->mSVPColumn->toPlainText(), QStringLiteral("1500.00"));
    EXPECT_TRUE(dialogs().messages.empty());
}

TEST_F(ProfileGraphWindow, AnEmptyAveragedListOpensNoEditor) {
    bool opened = false;
    QTimer::singleShot(0, fSVPGraph, [&] {
        opened = fSVPGraph->isVisible();
        fSVPGraph->bCancelClick();
    });
    fSVP->bGraphClick();
    RunEventsFor(20);
    EXPECT_FALSE(opened);
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text,
              QStringLiteral("No data to graph. Please process SVP data first."));
}

TEST_F(ProfileGraphWindow, SaveAndCloseWritesTheGridBackEmptiesTheColumnAndSaysSo) {
    fSVP->mSortedAveragedSV->setPlainText(QString::fromStdString("0,1500.00,3\n\n10,1520.00,2"));
    fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    fSVP->bSaveClose->setEnabled(true);
    OpenGraphAnd([] {
        SetCell(1, 1, QStringLiteral("1512.345"));
        fSVPGraph->bSaveAndCloseClick();
    });
    EXPECT_EQ(TfSVP::ListLines(fSVP->mSortedAveragedSV),
              (std::vector<std::string>{"0,1500.00,3", "10,1512.35,2"}));
    EXPECT_TRUE(fSVP->mSVPColumn->toPlainText().isEmpty());
    EXPECT_FALSE(fSVP->bSaveClose->isEnabled());
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text,
              QStringLiteral("Data updated. Please regenerate SVP Column."));
}

TEST_F(ProfileGraphWindow, SaveAndCloseKeepsTheEditorOpenOnARowItCannotRead) {
    fSVP->mSortedAveragedSV->setPlainText(
        QString::fromStdString("0,1500.00,3\n1,1500.40,2\n2,1500.80,2"));
    bool stayedOpen = false;
    OpenGraphAnd([&] {
        SetCell(1, 1, QStringLiteral("1500,5"));
        fSVPGraph->bSaveAndCloseClick();
        stayedOpen = fSVPGraph->isVisible();
        EXPECT_EQ(fSVPGraph->StringGrid1->currentRow(), 1);
        ASSERT_EQ(dialogs().messages.size(), 1u);
        EXPECT_EQ(dialogs().messages[0].kind, MessageKind::Warning);
        EXPECT_TRUE(
            dialogs().messages[0].text.startsWith(QStringLiteral("Row 2 (\"1\", \"1500,5\")")));
        EXPECT_EQ(TfSVP::ListLines(fSVP->mSortedAveragedSV).size(), 3u);
        SetCell(1, 1, QStringLiteral("1500.5"));
        fSVPGraph->bSaveAndCloseClick();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(TfSVP::ListLines(fSVP->mSortedAveragedSV),
              (std::vector<std::string>{"0,1500.00,3", "1,1500.50,2", "2,1500.80,2"}));
}

TEST_F(ProfileGraphWindow, TheCastsColumnIsTheSameAfterAnUnchangedWriteBack) {
    BuildDefaultCast(dialogs());
    const std::vector<std::string> column = TfSVP::ListLines(fSVP->mSVPColumn);
    ASSERT_EQ(column.size(), 201u);

    OpenGraphAnd([] { fSVPGraph->bSaveAndCloseClick(); });
    EXPECT_TRUE(fSVP->mSVPColumn->toPlainText().isEmpty());
    fSVP->bAveragedSVtoSVPClick();
    EXPECT_EQ(TfSVP::ListLines(fSVP->mSVPColumn), column);
}

TEST_F(ProfileGraphWindow, EachPointIsPaintedWhereTheTransformPutsIt) {
    ShowWith(FourPoints);
    const QImage image = fSVPGraph->PaintBox1->grab().toImage();
    ASSERT_EQ(image.size(), fSVPGraph->PaintBox1->size());
    for (int i = 0; i < 4; ++i) {
        const QPoint at = PixelOf(i);
        EXPECT_EQ(PixelAt(image, at), QColor(0, 0, 255)) << "point " << i;
        // The circle is 9 pixels across: 6 pixels aside lies outside it.
        EXPECT_NE(PixelAt(image, at + QPoint(6, 0)), QColor(0, 0, 255)) << "point " << i;
    }
    // By hand: velocities 1500..1520 shown from 1499 to 1521, depths 0..30 m, in the plot area
    // of the box less its margins (60 left, 20 right, 20 top, 40 bottom).
    const int w = fSVPGraph->PaintBox1->width() - 80, h = fSVPGraph->PaintBox1->height() - 60;
    EXPECT_EQ(PixelOf(2), QPoint(60 + int(11.0 / 22.0 * w), 20 + int(20.0 / 30.0 * h)));
    // Zoomed, the points move with the transform.
    const QPoint before = PixelOf(2);
    Wheel(PixelOf(1) + QPoint(40, 30), 120);
    EXPECT_NE(PixelOf(2), before);
    const QImage zoomed = fSVPGraph->PaintBox1->grab().toImage();
    EXPECT_EQ(PixelAt(zoomed, PixelOf(2)), QColor(0, 0, 255));
    EXPECT_EQ(PixelAt(zoomed, QPoint(3, 3)), QColor(Qt::white));
}

TEST_F(ProfileGraphWindow, AClickOnGridRowThreeTurnsOnlyTheThirdPointRed) {
    ShowWith(FourPoints);
    fSVPGraph->StringGrid1->setCurrentCell(2, 1);
    fSVPGraph->StringGrid1Click();
    const QImage image = fSVPGraph->PaintBox1->grab().toImage();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PixelAt(image, PixelOf(i)), i == 2 ? QColor(255, 0, 0) : QColor(0, 0, 255))
            << "point " << i;
    EXPECT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (0)"));
    EXPECT_FALSE(fSVPGraph->bDeleteSelected->isEnabled());
}

TEST_F(ProfileGraphWindow, APressOnAPointDragsItAndRewritesOnlyItsRow) {
    ShowWith(FourPoints);
    QWidget* box = fSVPGraph->PaintBox1;
    // Typed into another row and not yet read back: a refill of the whole grid would lose it.
    SetCell(3, 1, QStringLiteral("1499.5"));
    const QPoint from = PixelOf(1);
    const QPoint to = from - QPoint(37, 0);
    const double expected = fSVPGraph->Model.XToSV(to.x());

    SendMouse(box, QEvent::MouseButtonPress, from + QPoint(3, -2));
    EXPECT_TRUE(fSVPGraph->Dragging);
    EXPECT_EQ(fSVPGraph->DragIndex, 1);
    EXPECT_EQ(box->cursor().shape(), Qt::SizeAllCursor);
    SendMouse(box, QEvent::MouseMove, to);
    EXPECT_DOUBLE_EQ(fSVPGraph->Model.Points[1].SV, expected);
    EXPECT_EQ(fSVPGraph->Model.Points[1].Depth, 10);
    EXPECT_EQ(RowTexts(1), fSVPGraph->Model.FillGrid()[1]);
    EXPECT_EQ(Cell(3, 1), QStringLiteral("1499.5"));
    EXPECT_TRUE(fSVPGraph->Label1->text().startsWith(QStringLiteral("SV: ")));
    EXPECT_TRUE(fSVPGraph->Label1->text().endsWith(QStringLiteral(" m  (Drag point to edit SV)")));
    // The dragged point is lime while it moves.
    EXPECT_EQ(PixelAt(box->grab().toImage(), PixelOf(1)), QColor(0, 255, 0));
    SendMouse(box, QEvent::MouseButtonRelease, to);
    EXPECT_FALSE(fSVPGraph->Dragging);
    EXPECT_EQ(fSVPGraph->DragIndex, -1);
    EXPECT_TRUE(fSVPGraph->Modified());
    // The release refits the view to the data.
    ProfileGraphModel refit = fSVPGraph->Model;
    refit.CalcRanges();
    EXPECT_EQ(fSVPGraph->Model.MinSV, refit.MinSV);
    EXPECT_EQ(fSVPGraph->Model.MaxSV, refit.MaxSV);
}

TEST_F(ProfileGraphWindow, ADragPastTheVelocityLimitStopsAtTheLastAcceptedValue) {
    ShowWith({"0,1500", "10,1690"});
    QWidget* box = fSVPGraph->PaintBox1;
    const ProfileGraphModel& m = fSVPGraph->Model;
    const QPoint from = PixelOf(1);
    const int x1700 = m.SVToX(1700);
    ASSERT_LT(x1700, box->width());
    SendMouse(box, QEvent::MouseButtonPress, from);
    SendMouse(box, QEvent::MouseMove, QPoint(x1700 - 1, from.y()));
    const double accepted = m.Points[1].SV;
    EXPECT_LE(accepted, 1700.0);
    EXPECT_GT(accepted, 1690.0);
    SendMouse(box, QEvent::MouseMove, QPoint(x1700 + 8, from.y()));
    SendMouse(box, QEvent::MouseMove, QPoint(box->width() - 2, from.y()));
    EXPECT_EQ(m.Points[1].SV, accepted);
    EXPECT_EQ(Cell(1, 1).toStdString(), FormatFixed(accepted, 2));
    SendMouse(box, QEvent::MouseButtonRelease, QPoint(box->width() - 2, from.y()));
}

TEST_F(ProfileGraphWindow, ALassoSelectsThePointsInsideAndDeleteSelectedRemovesThem) {
    ShowWith(FourPoints);
    QWidget* box = fSVPGraph->PaintBox1;
    const QPoint spike = PixelOf(1);
    // Two points make no lasso: nothing is selected and the button stays as it was.
    Drag(box, spike + QPoint(-20, -20), {spike + QPoint(20, -20)});
    EXPECT_EQ(fSVPGraph->Model.SelectedCount(), 0);
    EXPECT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (0)"));

    // A ring around the spike, in steps larger than three pixels.
    std::vector<QPoint> ring;
    for (int k = 1; k <= 16; ++k)
        ring.push_back(spike + QPoint(int(std::lround(25 * std::cos(k * M_PI / 8))),
                                      int(std::lround(25 * std::sin(k * M_PI / 8)))));
    SendMouse(box, QEvent::MouseButtonPress, spike + QPoint(25, 0));
    ASSERT_TRUE(fSVPGraph->LassoActive);
    for (const QPoint& at : ring)
        SendMouse(box, QEvent::MouseMove, at);
    // Moves of three pixels or less add nothing.
    const size_t outline = fSVPGraph->Model.LassoPoints.size();
    SendMouse(box, QEvent::MouseMove, ring.back() + QPoint(2, 3));
    EXPECT_EQ(fSVPGraph->Model.LassoPoints.size(), outline);
    SendMouse(box, QEvent::MouseButtonRelease, ring.back());
    EXPECT_FALSE(fSVPGraph->LassoActive);
    EXPECT_EQ(fSVPGraph->Model.SelectedCount(), 1);
    EXPECT_TRUE(fSVPGraph->Model.Points[1].Selected);
    EXPECT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (1)"));
    EXPECT_TRUE(fSVPGraph->bDeleteSelected->isEnabled());
    // The outline stays drawn in dashed red after the release.
    const QImage image = box->grab().toImage();
    int red = 0;
    for (const QPoint& at : ring)
        red += PixelAt(image, at) == QColor(255, 0, 0) ? 1 : 0;
    EXPECT_GT(red, 4);

    fSVPGraph->bDeleteSelected->click();
    ASSERT_EQ(fSVPGraph->Model.Points.size(), 3u);
    EXPECT_EQ(fSVPGraph->Model.Points[1].Depth, 20);
    EXPECT_EQ(fSVPGraph->StringGrid1->rowCount(), 3);
    EXPECT_EQ(Cell(1, 0), QStringLiteral("20"));
    EXPECT_TRUE(fSVPGraph->Model.LassoPoints.empty());
    EXPECT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (0)"));
    EXPECT_FALSE(fSVPGraph->bDeleteSelected->isEnabled());
    EXPECT_TRUE(fSVPGraph->Modified());
}

TEST_F(ProfileGraphWindow, ReopeningOffersNoDeletionOfPointsThatAreNotMarked) {
    ShowWith(FourPoints);
    fSVPGraph->Model.LassoPoints = {{0, 0}, {699, 0}, {699, 499}, {0, 499}};
    fSVPGraph->LassoActive = true;
    SendMouse(fSVPGraph->PaintBox1, QEvent::MouseButtonRelease, QPoint(1, 1));
    ASSERT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (4)"));

    fSVPGraph->LoadPoints({"0,1500", "5,1502"});
    EXPECT_EQ(fSVPGraph->Model.SelectedCount(), 0);
    EXPECT_TRUE(fSVPGraph->Model.LassoPoints.empty());
    EXPECT_EQ(fSVPGraph->bDeleteSelected->text(), QStringLiteral("Delete Selected (0)"));
    EXPECT_FALSE(fSVPGraph->bDeleteSelected->isEnabled());
}

TEST_F(ProfileGraphWindow, TheWheelZoomsAboutThePointerAndADoubleClickRefits) {
    ShowWith(FourPoints);
    ProfileGraphModel& m = fSVPGraph->Model;
    const ProfileGraphModel before = m;
    const QPoint at(250, 180);
    const double sv = m.XToSV(at.x()), depth = m.YToDepth(at.y());
    Wheel(at, 120);
    EXPECT_NEAR(m.MaxSV - m.MinSV, 0.9 * (before.MaxSV - before.MinSV), 1e-9);
    EXPECT_NEAR(m.MaxDepth - m.MinDepth, 0.9 * (before.MaxDepth - before.MinDepth), 1e-9);
    EXPECT_NEAR(m.XToSV(at.x()), sv, 1e-9);
    EXPECT_NEAR(m.YToDepth(at.y()), depth, 1e-9);
    Wheel(at, -120);
    EXPECT_NEAR(m.MaxDepth - m.MinDepth, 0.99 * (before.MaxDepth - before.MinDepth), 1e-9);
    // A sideways tilt is no zoom step.
    const double span = m.MaxSV - m.MinSV;
    Wheel(at, 0, QPoint(120, 0));
    EXPECT_EQ(m.MaxSV - m.MinSV, span);

    SendMouse(fSVPGraph->PaintBox1, QEvent::MouseButtonDblClick, at);
    EXPECT_EQ(m.MinSV, before.MinSV);
    EXPECT_EQ(m.MaxDepth, before.MaxDepth);
}

TEST_F(ProfileGraphWindow, GridRowsAreAddedDeletedAndReadBackIntoThePoints) {
    ShowWith({"0,1500.00,3", "10,1520.00,2"});
    fSVPGraph->bAddRow->click();
    ASSERT_EQ(fSVPGraph->StringGrid1->rowCount(), 3);
    EXPECT_EQ(RowTexts(2), (std::vector<std::string>{"11", "1520.00", "0"}));
    ASSERT_EQ(fSVPGraph->Model.Points.size(), 3u);
    EXPECT_EQ(fSVPGraph->Model.Points[2].Hits, 0);

    // A typed velocity and a row that does not convert: the row is skipped but stays visible.
    SetCell(0, 1, QStringLiteral("1493.5"));
    SetCell(1, 0, QStringLiteral("ten"));
    fSVPGraph->StringGrid1->setCurrentCell(2, 0);
    fSVPGraph->bDeleteRow->click();
    EXPECT_EQ(fSVPGraph->StringGrid1->rowCount(), 2);
    EXPECT_EQ(Cell(1, 0), QStringLiteral("ten"));
    ASSERT_EQ(fSVPGraph->Model.Points.size(), 1u);
    EXPECT_EQ(fSVPGraph->Model.Points[0].SV, 1493.5);

    fSVPGraph->StringGrid1->setCurrentCell(0, 0);
    fSVPGraph->bDeleteRow->click();
    fSVPGraph->StringGrid1->setCurrentCell(0, 0);
    fSVPGraph->bDeleteRow->click();
    // The only row stays.
    ASSERT_EQ(fSVPGraph->StringGrid1->rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("ten"));
    EXPECT_TRUE(fSVPGraph->Model.Points.empty());

    // A huge typed velocity still paints: the grid keeps a bounded number of lines.
    SetCell(0, 0, QStringLiteral("20"));
    SetCell(0, 1, QStringLiteral("1e9"));
    fSVPGraph->bAddRow->click();
    ASSERT_EQ(fSVPGraph->Model.Points.size(), 2u);
    const QImage image = fSVPGraph->PaintBox1->grab().toImage();
    EXPECT_EQ(PixelAt(image, QPoint(60, 100)), QColor(Qt::black));
    EXPECT_EQ(PixelAt(image, PixelOf(0)), QColor(0, 0, 255));
}

TEST_F(ProfileGraphWindow, TheWheelOverPointsAtOneDepthKeepsAViewThatPaints) {
    ShowWith({"7,1500", "7,1510"});
    const ProfileGraphModel& m = fSVPGraph->Model;
    ASSERT_EQ(m.MinDepth, m.MaxDepth);
    Wheel(QPoint(300, 200), 120);
    Wheel(QPoint(300, 200), -120);
    for (double v : {m.MinSV, m.MaxSV, m.MinDepth, m.MaxDepth})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_GE(m.MaxDepth - m.MinDepth, 5.0);
    const QImage image = fSVPGraph->PaintBox1->grab().toImage();
    EXPECT_EQ(PixelAt(image, PixelOf(0)), QColor(0, 0, 255));
    EXPECT_EQ(PixelAt(image, PixelOf(1)), QColor(0, 0, 255));
}
