#include "app/widgets/StyleManager.h"

#include "app/widgets/DesignedColours.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

namespace {

const QString BuiltInName = QStringLiteral("Tavrin SD - Default");
const QString LightName = QStringLiteral("Light");
const QString DarkName = QStringLiteral("Dark");

// What the application looked like before any style was applied, so that the built-in look
// can come back after a preview.
struct BuiltInLook {
    QString styleKey;
    QPalette palette;
};

const BuiltInLook& builtInLook() {
    static const BuiltInLook look{QApplication::style() ? QApplication::style()->name()
                                                        : QStringLiteral("fusion"),
                                  QApplication::palette()};
    return look;
}

QString activeName = BuiltInName;

QPalette darkPalette() {
    QPalette p;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 30);
    const QColor text(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Highlight, QColor(38, 79, 120));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
    return p;
}

// Without a palette the style's own standard palette is used.
bool applyWidgetStyle(const QString& key, const QPalette* palette) {
    QStyle* style = QStyleFactory::create(key);
    if (!style)
        return false;
    const QPalette chosen = palette ? *palette : style->standardPalette();
    QApplication::setStyle(style);
    QApplication::setPalette(chosen);
    return true;
}

} // namespace

QString StyleManager::defaultStyleName() {
    return BuiltInName;
}

QStringList StyleManager::styleNames() {
    builtInLook();
    QStringList names{BuiltInName, LightName, DarkName};
    names += QStyleFactory::keys();
    return names;
}

bool StyleManager::trySetStyle(const QString& name, bool reportError) {
    const BuiltInLook& look = builtInLook();
    bool applied = false;
    if (name == BuiltInName)
        applied = applyWidgetStyle(look.styleKey, &look.palette);
    else if (name == LightName)
        applied = applyWidgetStyle(QStringLiteral("Fusion"), nullptr);
    else if (name == DarkName) {
        const QPalette dark = darkPalette();
        applied = applyWidgetStyle(QStringLiteral("Fusion"), &dark);
    } else if (QStyleFactory::keys().contains(name, Qt::CaseInsensitive))
        applied = applyWidgetStyle(name, nullptr);
    if (applied) {
        activeName = name;
        // Designed colours are worked out against the new backgrounds, which the widgets take
        // from the events the palette change has posted.
        QTimer::singleShot(0, qApp, [] { ReapplyDesignedColours(); });
        return true;
    }
    if (reportError)
        Dialogs::showError(QStringLiteral("Style \"%1\" not found.").arg(name));
    return false;
}

QString StyleManager::activeStyleName() {
    return activeName;
}

uint32_t StyleManager::panelColor() {
    const QColor c = QApplication::palette().color(QPalette::Window);
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}
