#include "app/widgets/DesignedColours.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

const char* const DesignedProperty = "designedTextColour";
const char* const DesignedBackgroundProperty = "designedBackground";

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.red()) + 0.7152 * Linear(rgb.green()) + 0.0722 * Linear(rgb.blue());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// Push buttons and tool buttons paint their text on their own face, edits on their base.
QPalette::ColorRole TextRole(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return QPalette::Text;
    const bool onFace = qobject_cast<const QAbstractButton*>(widget) && !qobject_cast<const QCheckBox*>(widget) &&
                        !qobject_cast<const QRadioButton*>(widget);
    return onFace ? QPalette::ButtonText : widget->foregroundRole();
}

QColor FaceBehind(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return widget->palette().color(QPalette::Base);
    return TextRole(widget) == QPalette::ButtonText ? widget->palette().color(QPalette::Button)
                                                    : BackgroundBehind(widget);
}

void Apply(QWidget* widget, const QColor& designed) {
    QPalette colours = widget->palette();
    colours.setColor(TextRole(widget), ReadableOn(designed, FaceBehind(widget)));
    widget->setPalette(colours);
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkColour(const QColor& colour) {
    // Where black and white text reach the same contrast.
    return Luminance(colour) < 0.179;
}

QColor ReadableOn(const QColor& designed, const QColor& background, double minimum) {
    if (ContrastRatio(designed, background) >= minimum)
        return designed.toRgb();
    const QColor end = IsDarkColour(background) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step <= 20; ++step) {
        const QColor mixed = Mix(designed.toRgb(), end, step / 20.0);
        if (ContrastRatio(mixed, background) >= minimum)
            return mixed;
    }
    return end;
}

QColor BackgroundBehind(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    return QApplication::palette().color(QPalette::Window);
}

void SetDesignedTextColour(QWidget* widget, const QColor& designed) {
    if (!widget)
        return;
    widget->setProperty(DesignedProperty, designed);
    Apply(widget, designed);
}

static void ApplyBackground(QWidget* widget, const QColor& designed) {
    const QColor themeWindow = QApplication::palette().color(QPalette::Window);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, IsDarkColour(themeWindow) ? themeWindow : designed);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

void SetDesignedBackground(QWidget* widget, const QColor& designed) {
    if (!widget)
        return;
    widget->setProperty(DesignedBackgroundProperty, designed);
    ApplyBackground(widget, designed);
}

void ReapplyDesignedColours() {
    const QWidgetList widgets = QApplication::allWidgets();
    // Backgrounds first: the text colours are worked out against them.
    for (QWidget* widget : widgets) {
        const QVariant designed = widget->property(DesignedBackgroundProperty);
        if (designed.isValid())
            ApplyBackground(widget, designed.value<QColor>());
    }
    for (QWidget* widget : widgets) {
        const QVariant designed = widget->property(DesignedProperty);
        if (designed.isValid())
            Apply(widget, designed.value<QColor>());
    }
}

void ReapplyDesignedColours(QWidget* root) {
    if (!root)
        return;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const QVariant designed = widget->property(DesignedProperty);
        if (designed.isValid())
            Apply(widget, designed.value<QColor>());
    }
}
