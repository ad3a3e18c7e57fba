#include "app/widgets/KeptFaceGroupBox.h"

#include "app/survey_windows/TfRealtime.h"
#include "tests/support/OnScreen.h"

#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A box with a label in it, in a window of its own, as the realtime window holds its boxes.
struct BoxWindow {
    QWidget window;
    QGroupBox* box;
    QLabel* label;

    BoxWindow(QGroupBox* made, int x) : box(made) {
        box->setParent(&window);
        box->setGeometry(2, 2, 188, 96);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(2, 2, 2, 2);
        label = new QLabel(QStringLiteral("---"), box);
        label->setAlignment(Qt::AlignCenter);
        QFont font(QStringLiteral("Liberation Mono"));
        font.setPixelSize(52);
        font.setBold(true);
        label->setFont(font);
        layout->addWidget(label);
        TfRealtime::SetBoxColour(box, QColor(0, 255, 0));
        window.setGeometry(x, 0, 192, 120);
        window.show();
        DeliverPaints();
    }
};

// The box paints its face from a kept picture once it has painted it whole; after each change
// it must show what a plain group box shows.
TEST(KeptFaceGroupBox, ABoxPaintedFromItsKeptFaceShowsWhatAPlainBoxShows) {
    const QString caption = QStringLiteral(" Depth (High Freq.) ");
    BoxWindow kept(new KeptFaceGroupBox(caption), 0);
    BoxWindow plain(new QGroupBox(caption), 300);
    const struct {
        const char* step;
        std::function<void(BoxWindow&)> change;
    } steps[] = {
        {"shown", [](BoxWindow&) {}},
        {"a depth", [](BoxWindow& w) { w.label->setText(QStringLiteral("10.60")); }},
        {"another depth", [](BoxWindow& w) { w.label->setText(QStringLiteral("11.62")); }},
        {"red after a silence",
         [](BoxWindow& w) { TfRealtime::SetBoxColour(w.box, QColor(255, 0, 0)); }},
        {"a depth on red", [](BoxWindow& w) { w.label->setText(QStringLiteral("--.-")); }},
        {"lime again", [](BoxWindow& w) { TfRealtime::SetBoxColour(w.box, QColor(0, 255, 0)); }},
        {"another caption", [](BoxWindow& w) { w.box->setTitle(QStringLiteral(" GPS Status ")); }},
        {"resized", [](BoxWindow& w) { w.box->setGeometry(2, 2, 150, 80); }},
        {"a depth in the smaller box",
         [](BoxWindow& w) { w.label->setText(QStringLiteral("9.99")); }},
        {"disabled", [](BoxWindow& w) { w.box->setEnabled(false); }},
        {"enabled", [](BoxWindow& w) { w.box->setEnabled(true); }},
        {"a depth in the enabled box",
         [](BoxWindow& w) { w.label->setText(QStringLiteral("12.34")); }},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.change(kept);
        s.change(plain);
        DeliverPaints();
        const QImage shown = OnScreen(kept.window);
        ASSERT_FALSE(shown.isNull());
        EXPECT_TRUE(shown == OnScreen(plain.window));
    }
}

} // namespace
