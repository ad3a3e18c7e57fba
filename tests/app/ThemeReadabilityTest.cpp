// Every window stays readable in every theme the chooser offers: captions against what lies
// behind them, the tool pictures against their tool bars, and the map's texts against the
// background the theme gives the map, measured as contrast ratios.
#include "ThemedProgram.h"

#include "../canvas/MapTextContrast.h"

#include "app/settings_windows/TNavset.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/translation/TfTranslationEditor.h"
#include "app/widgets/DesignedColours.h"
#include "app/widgets/StyleManager.h"
#include "app/widgets/TavrinKeyboard.h"
#include "app/widgets/TfTheme.h"
#include "app/widgets/ToolIcons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

#include <sstream>

namespace {

// Text needs 4.5:1 and a picture's lines 3:1 against what surrounds them.
constexpr double TextContrast = ReadableTextContrast;
constexpr double PictureContrast = 3.0;

QColor TextColourOf(const QWidget* widget) {
    const QPalette& colours = widget->palette();
    if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QComboBox*>(widget))
        return colours.color(QPalette::Text);
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget))
        return colours.color(QPalette::WindowText);
    if (qobject_cast<const QAbstractButton*>(widget))
        return colours.color(QPalette::ButtonText);
    return colours.color(widget->foregroundRole());
}

QColor FaceOf(const QWidget* widget) {
    const QPalette& colours = widget->palette();
    if (qobject_cast<const QLineEdit*>(widget))
        return colours.color(QPalette::Base);
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return colours.color(combo->isEditable() ? QPalette::Base : QPalette::Button);
    if (auto* tool = qobject_cast<const QToolButton*>(widget))
        return tool->autoRaise() && !tool->isChecked() ? BackgroundBehind(tool->parentWidget())
                                                        : colours.color(QPalette::Button);
    if (qobject_cast<const QPushButton*>(widget))
        return colours.color(QPalette::Button);
    return BackgroundBehind(widget);
}

QString TextOf(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : QString();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return {};
}

std::string Where(const QWidget* widget) {
    return (widget->window()->objectName() + "/" + widget->objectName() + " \"" + TextOf(widget) + "\"")
        .toStdString();
}

// The windows the program shows, with the translation editor and the two on-screen keyboards,
// which are made on first use.
QList<QWidget*> Windows() {
    QList<QWidget*> windows;
    for (QWidget* window : ApplicationWindows())
        windows.append(window);
    FNav->TranslationEditor1Click();
    windows.append(fTranslationEditor);
    FNav->ShowNumericKeypad(nullptr);
    FNav->ShowSimpleKeyboard(nullptr);
    windows.append(FNav->NumericKeypad);
    windows.append(FNav->SimpleKeyboard);
    return windows;
}

// Captions with less contrast than text needs, one line each.
std::string UnreadableCaptions() {
    std::ostringstream found;
    for (QWidget* window : Windows()) {
        QList<QWidget*> controls = window->findChildren<QWidget*>();
        controls.prepend(window);
        for (QWidget* control : controls) {
            if (TextOf(control).trimmed().isEmpty() || !control->isVisibleTo(window) || !control->isEnabled())
                continue;
            // The acquisition button's two states have checks of their own.
            if (control->objectName() == QLatin1String("Realtime"))
                continue;
            const double ratio = ContrastRatio(TextColourOf(control), FaceOf(control));
            if (ratio < TextContrast)
                found << "  " << Where(control) << ": " << ratio << ":1\n";
        }
    }
    return found.str();
}

// Tool pictures whose lines stand out too little from their tool bar: a quarter of a picture's
// visible pixels, and at least eight, must reach the contrast a picture needs.
std::string FaintPictures() {
    std::ostringstream found;
    for (QWidget* window : Windows()) {
        for (QToolBar* bar : window->findChildren<QToolBar*>()) {
            for (QToolButton* button : bar->findChildren<QToolButton*>()) {
                // Qt's own overflow arrow is drawn by the style.
                if (button->icon().isNull() || !button->isVisibleTo(window) ||
                    button->objectName().startsWith(QLatin1String("qt_")))
                    continue;
                const QColor behind = FaceOf(button);
                QImage picture(16, 16, QImage::Format_ARGB32);
                picture.fill(behind);
                {
                    QPainter painter(&picture);
                    button->icon().paint(&painter, QRect(0, 0, 16, 16));
                }
                int painted = 0, standingOut = 0;
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x) {
                        // A pixel the eye tells from the bar at all is part of the picture.
                        const QColor pixel = picture.pixelColor(x, y);
                        if (ContrastRatio(pixel, behind) < 1.25)
                            continue;
                        ++painted;
                        standingOut += ContrastRatio(pixel, behind) >= PictureContrast;
                    }
                if (standingOut < 8 || standingOut * 4 < painted)
                    found << "  " << Where(button) << " (" << button->toolTip().toStdString() << "): "
                          << standingOut << " of " << painted << " pixels stand out\n";
            }
        }
    }
    return found.str();
}

class ThemeReadability : public ThemedProgram, public ::testing::WithParamInterface<QString> {};
class ThemeChange : public ThemedProgram {};

} // namespace

// Theme names as the test names print them.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

TEST(ContrastRatio, FollowsTheRelativeLuminanceOfBothColours) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(119, 119, 119), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(ContrastRatio(Qt::red, Qt::red), 1.0, 1e-9);
    // A designed colour keeps its hue but moves away from a background it cannot be read on.
    const QColor green = ReadableOn(QColor(0, 128, 0), QColor(45, 45, 48));
    EXPECT_GE(ContrastRatio(green, QColor(45, 45, 48)), 4.5);
    EXPECT_GT(green.green(), green.red());
    EXPECT_EQ(ReadableOn(QColor(0, 128, 0), Qt::white), QColor(0, 128, 0));
}

// As the operator does: the chooser's preview, then "Save && Exit".
void Choose(const QString& theme) {
    FNav->themeSelection1->trigger();
    const auto items = fTheme->lbThemeList->findItems(theme, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    fTheme->lbThemeList->setCurrentItem(items[0]);
    ASSERT_EQ(StyleManager::activeStyleName(), theme);
    fTheme->bSaveExit->click();
    QApplication::processEvents();
}

TEST_P(ThemeReadability, EveryWindowIsReadableWhenTheThemeIsChosenWhileTheProgramRuns) {
    start();
    Choose(GetParam());
    const std::string captions = UnreadableCaptions();
    EXPECT_TRUE(captions.empty()) << "captions under \"" << GetParam().toStdString() << "\":\n" << captions;
    const std::string pictures = FaintPictures();
    EXPECT_TRUE(pictures.empty()) << "tool pictures under \"" << GetParam().toStdString() << "\":\n" << pictures;
}

// Depth and event labels, the read-outs, the status box and the scale bar, each painted on the
// map in the background the chosen theme gave it.
TEST_P(ThemeReadability, EveryMapTextReadsOnTheBackgroundTheThemeGivesTheMap) {
    start();
    Choose(GetParam());
    TTavrinCanvas& map = *FNav->fcad;
    ASSERT_EQ(map.BackColor, StyleManager::panelColor());
    ASSERT_GE(map.ClientWidth, 400);
    ASSERT_GE(map.ClientHeight, 300);
    for (const MapTextReading& reading : MapTextContrasts(map))
        EXPECT_GE(reading.Contrast, ReadableTextContrast)
            << reading.Kind << " under \"" << GetParam().toStdString() << "\"";
}

TEST_F(ThemeChange, BackFromDarkTheDataWindowsAreWhiteAgainWithDarkCaptions) {
    start();
    Choose(QStringLiteral("Dark"));
    EXPECT_TRUE(IsDarkColour(Navset->palette().color(QPalette::Window)));
    Choose(StyleManager::defaultStyleName());
    EXPECT_EQ(Navset->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(fRealtime->palette().color(QPalette::Window), QColor(Qt::white));
    const std::string captions = UnreadableCaptions();
    EXPECT_TRUE(captions.empty()) << captions;
}

TEST_P(ThemeReadability, EveryWindowIsReadableWhenTheProgramStartsInTheTheme) {
    ASSERT_TRUE(StyleManager::trySetStyle(GetParam(), false));
    start();
    const std::string captions = UnreadableCaptions();
    EXPECT_TRUE(captions.empty()) << "captions under \"" << GetParam().toStdString() << "\":\n" << captions;
    const std::string pictures = FaintPictures();
    EXPECT_TRUE(pictures.empty()) << "tool pictures under \"" << GetParam().toStdString() << "\":\n" << pictures;
}

// The chooser's list, which the application object must exist to read.
const QStringList OfferedThemes = {QStringLiteral("Tavrin SD - Default"), QStringLiteral("Light"),
                                   QStringLiteral("Dark"), QStringLiteral("Windows"),
                                   QStringLiteral("Fusion")};

TEST(ThemeChooser, OffersTheThemesCheckedForReadability) {
    QStringList offered = StyleManager::styleNames();
    QStringList checked = OfferedThemes;
    offered.sort(Qt::CaseInsensitive);
    checked.sort(Qt::CaseInsensitive);
    EXPECT_EQ(offered, checked);
}

INSTANTIATE_TEST_SUITE_P(EveryOfferedTheme, ThemeReadability, ::testing::ValuesIn(OfferedThemes),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             QString name = info.param;
                             name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
                             return name.toStdString();
                         });
