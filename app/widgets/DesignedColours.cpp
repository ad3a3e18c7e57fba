#include "app/widgets/DesignedColours.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

namespace {

const char* const DesignedProperty = "designedTextColour";
const char* const DesignedBackgroundProperty = "designedBackground";

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
