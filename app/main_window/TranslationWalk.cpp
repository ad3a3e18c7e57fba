#include "app/main_window/TranslationWalk.h"

#include "app/devices/TFGPS.h"
#include "app/main_window/TformAbout.h"
#include "app/ntrip/TfrmNTRIPSettings.h"
#include "app/runlines/TfRunline1.h"
#include "app/settings_windows/TFShape.h"
#include "app/settings_windows/TNavset.h"
#include "app/sound_velocity/TfSVP.h"
#include "app/survey_windows/TOffsets.h"
#include "app/survey_windows/TfRealtime.h"
#include "app/survey_windows/TfWaterfal.h"
#include "app/translation/Captions.h"
#include "app/widgets/TFMsg.h"
#include "app/widgets/TfTheme.h"
#include "language/TTavrinTranslation.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QToolButton>

namespace {

// What one walk has visited: a control reached both through its form and its parent is
// translated once.
QSet<const QObject*>* visited = nullptr;

class WalkScope {
public:
    WalkScope() {
        if (!visited) {
            visited = &own_;
            owner_ = true;
        }
    }
    ~WalkScope() {
        if (owner_)
            visited = nullptr;
    }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;

private:
    QSet<const QObject*> own_;
    bool owner_ = false;
};

bool FirstVisit(const QObject* object) {
    if (visited->contains(object))
        return false;
    visited->insert(object);
    return true;
}

QString DesignClass(const QObject* object) {
    return object->property("designClass").toString();
}

// The caption to show for the one now shown, remembering the English key it came from: while
// the caption still shows what the walk set, the next walk starts from that key rather than
// mapping the text back (two keys may share one translation).
QString Translated(QObject* owner, const QString& current, const QByteArray& slot = {}) {
    // An empty caption (a data label before its first value) has nothing to translate, and a
    // translator could give it no text: it must not stand in "missing.log".
    if (current.isEmpty())
        return current;
    const QByteArray keyName = "translationKey" + slot;
    const QByteArray shownName = "translationShown" + slot;
    const QVariant shown = owner->property(shownName.constData());
    std::string key;
    if (shown.isValid() && shown.toString() == current)
        key = owner->property(keyName.constData()).toString().toStdString();
    else
        key = Translator->EnglishKeyOf(current.toStdString());
    const QString result = QString::fromStdString(Translator->TranslateKey(key));
    owner->setProperty(keyName.constData(), QString::fromStdString(key));
    owner->setProperty(shownName.constData(), result);
    return result;
}

// An English key set as it stands (the fixed keys of the tool buttons and the theme window).
QString TranslatedKey(QObject* owner, const std::string& key) {
    const QString result = QString::fromStdString(Translator->TranslateKey(key));
    owner->setProperty("translationKey", QString::fromStdString(key));
    owner->setProperty("translationShown", result);
    return result;
}

void TranslateActionText(QAction* action) {
    if (action->isSeparator()) {
        // Looked up like any caption (so a language without it says so), but shows no text.
        Translator->TranslateText("-");
        return;
    }
    // The text after a tab is the shortcut shown for a key another item took.
    const QString text = action->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    const QString caption = tab < 0 ? text : text.left(tab);
    const QString rest = tab < 0 ? QString() : text.mid(tab);
    action->setText(Translated(action, caption) + rest);
}

void TranslateChildren(QObject* component) {
    for (QObject* child : component->children())
        if (child->isWidgetType())
            TranslateComponent(child);
}

} // namespace

void TranslateMenuItem(QAction* item) {
    if (!Translator || !item)
        return;
    WalkScope scope;
    if (QMenu* submenu = item->menu()) {
        TranslateMenuItem(submenu);
        return;
    }
    if (!FirstVisit(item))
        return;
    TranslateActionText(item);
}

void TranslateMenuItem(QMenu* menu) {
    if (!Translator || !menu)
        return;
    WalkScope scope;
    if (!FirstVisit(menu))
        return;
    menu->setTitle(Translated(menu, menu->title()));
    visited->insert(menu->menuAction());
    for (QAction* action : menu->actions())
        TranslateMenuItem(action);
}

void TranslateComponent(QObject* component) {
    if (!Translator || !component)
        return;
    WalkScope scope;
    if (!FirstVisit(component))
        return;
    const QString designClass = DesignClass(component);
    const bool passedBy = designClass == QLatin1String("TRadioGroup") || designClass == QLatin1String("TPanel");
    if (auto* menu = qobject_cast<QMenu*>(component)) {
        visited->remove(menu);
        TranslateMenuItem(menu);
        return;
    }
    if (!passedBy) {
        if (auto* label = qobject_cast<QLabel*>(component)) {
            SetCaption(label, Translated(label, CaptionOf(label)));
        } else if (auto* tool = qobject_cast<QToolButton*>(component)) {
            if (designClass == QLatin1String("TSpeedButton") ||
                designClass == QLatin1String("TBitBtn"))
                tool->setText(Translated(tool, tool->text()));
        } else if (auto* button = qobject_cast<QAbstractButton*>(component)) {
            button->setText(Translated(button, button->text()));
        } else if (auto* group = qobject_cast<QGroupBox*>(component)) {
            group->setTitle(Translated(group, group->title()));
        } else if (auto* tabs = qobject_cast<QTabWidget*>(component)) {
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setTabText(i, Translated(tabs, tabs->tabText(i), QByteArray::number(i)));
        }
    }
    TranslateChildren(component);
}

void TranslateForm(QWidget* form) {
    if (!Translator || !form)
        return;
    WalkScope scope;
    if (!FirstVisit(form))
        return;
    form->setWindowTitle(Translated(form, form->windowTitle()));
    TranslateChildren(form);
}

void TranslateUi(QWidget* mainWindow) {
    if (!Translator || !mainWindow)
        return;
    Translator->DeliverReports();
    WalkScope scope;

    if (auto* window = qobject_cast<QMainWindow*>(mainWindow)) {
        for (QAction* action : window->menuBar()->actions())
            TranslateMenuItem(action->menu());
    }

    if (auto* start = mainWindow->findChild<QToolButton*>(QStringLiteral("Realtime"))) {
        start->setText(TranslatedKey(start, start->isChecked() ? "Stop" : "Realtime"));
        visited->insert(start);
    }

    static const std::pair<const char*, const char*> toolButtonKeys[] = {
        {"bSelectTracks", "Select Tracks"},
        {"bDelSelected", "Delete Selected"},
        {"bFollowVessel", "Follow Vessel"},
        {"ToolButton13", "Do Not Follow"},
        {"ConnectIcon", "Connect"},
        {"ToolButton11", "Clear Shapes"},
        {"btEventAdd", "Add Event"},
        {"btEventReset", "Reset Event"},
        {"Zoomin", "Zoom In"},
        {"Zoomout", "Zoom Out"},
        {"bOpen", "Open"},
        {"bSave", "Save"},
        {"tbRunline", "Runline"},
        // The track clearing buttons beside them, which a Turkish tool bar would otherwise show
        // in English.
        {"tbFixed", "Fixed"},
        {"tbFloat", "Float"},
        {"tbAuto", "Auto"}};
    for (const auto& [name, key] : toolButtonKeys) {
        if (auto* button = mainWindow->findChild<QToolButton*>(QString::fromLatin1(name))) {
            button->setText(TranslatedKey(button, key));
            visited->insert(button);
        }
    }

    const QList<QWidget*> forms = {mainWindow, fRealtime, Navset, Offsets,          FShape,   fSVP,
                                   formAbout,  FMsg,      FGPS,   frmNTRIPSettings, fRunline1};
    for (QWidget* form : forms)
        TranslateForm(form);

    if (fWaterfal)
        fWaterfal->setWindowTitle(TranslatedKey(fWaterfal, "Acoustics Waterfall"));
    // A line the sound velocity window makes while running (the column in use, with its depths
    // and time) is no caption: the walk passes it by and the window says it again in the new
    // language.
    if (fSVP)
        fSVP->ShowColumnInUse();
    if (fTheme) {
        fTheme->setWindowTitle(TranslatedKey(fTheme, "Theme Selection"));
        if (auto* save = fTheme->findChild<QPushButton*>(QStringLiteral("bSaveExit")))
            save->setText(TranslatedKey(save, "Save && Exit"));
        if (auto* cancel = fTheme->findChild<QPushButton*>(QStringLiteral("bCancel")))
            cancel->setText(TranslatedKey(cancel, "Cancel"));
    }
}
