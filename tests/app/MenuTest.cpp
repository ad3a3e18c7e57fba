#include "StartedProgram.h"

#include "app/main_window/MenuShortcuts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace {

// Each item as its caption (with the shown-only key after a tab) and the key it takes.
QStringList describe(QMenu* menu) {
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            items << QStringLiteral("-");
            continue;
        }
        QString item = action->text();
        if (!action->shortcut().isEmpty())
            item += QStringLiteral(" [") + action->shortcut().toString() + QLatin1Char(']');
        items << item;
    }
    return items;
}

} // namespace

using MainMenu = StartedProgram;

TEST_F(MainMenu, MenusAndItemsInOrderWithTheirKeys) {
    start();
    QStringList menus;
    for (QAction* action : FNav->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"File", "Zoom", "Tools", "Edit", "Window", "Help"}));

    // Where a key is shown after a tab, an earlier item took it.
    EXPECT_EQ(describe(FNav->File1),
              QStringList({"New [Ctrl+N]", "-", "Open... [Ctrl+O]", "Save [Ctrl+S]",
                           "Save As... [Ctrl+W]", "-", "Import... [Ctrl+I]", "Export... [Ctrl+X]",
                           "-", "Exit [Ctrl+Q]"}));
    EXPECT_EQ(describe(FNav->Zoom1),
              QStringList({"In\tCtrl+I", "Out\tCtrl+O", "Extents [Ctrl+Alt+E]", "Window\tCtrl+W",
                           "Dynamic [Ctrl+Alt+D]"}));
    EXPECT_EQ(describe(FNav->Tools1),
              QStringList({"Vessel Shape...", "-", "Open Log Folder [Ctrl+L]", "-",
                           "Latency Watch/Set", "-", "Translation Editor"}));
    EXPECT_EQ(describe(FNav->Edit1),
              QStringList({"Clear tracks unfixed", "Clear tracks fixed", "Clear shapes user added",
                           "Delete tracks selected", "-", "Follow vessel", "Do not follow vessel",
                           "-", "Mark Event [F12]"}));
    EXPECT_EQ(describe(FNav->Window1),
              QStringList({"Navigation Settings...", "Realtime Window...", "Echogram...\tCtrl+O",
                           "Offsets...\tCtrl+O", "-", "Theme Selection...", "-",
                           "Sound Velocity Profile...", "-", "Tavrin NTRIP Client...", "-",
                           "Generate Runline...", "-", "Device Settings... [F10]"}));
    EXPECT_EQ(describe(FNav->Help1), QStringList({"Remote Support...", "About..."}));
}

TEST_F(MainMenu, SharedKeysGoToTheFirstItemInMenuOrder) {
    start();
    EXPECT_EQ(FNav->Open1->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(FNav->Import1->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
    EXPECT_EQ(FNav->SaveAs1->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    for (QAction* onlyShows :
         {FNav->In1, FNav->Out1, FNav->Window2, FNav->Echogram1, FNav->OffsetsandValues1})
        EXPECT_TRUE(onlyShows->shortcut().isEmpty()) << onlyShows->objectName().toStdString();

    // No key of the window is left ambiguous: Qt would fire none of the items sharing it.
    std::map<QString, QString> owners;
    for (QAction* action : FNav->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const auto [it, inserted] = owners.emplace(key.toString(), action->objectName());
            EXPECT_TRUE(inserted) << key.toString().toStdString() << " taken by "
                                  << it->second.toStdString() << " and "
                                  << action->objectName().toStdString();
        }
    }
    EXPECT_EQ(owners.size(), 12u);
}

TEST(ShortcutResolution, FirstClaimInMenuOrderTakesTheKey) {
    const QKeySequence ctrlO(QStringLiteral("Ctrl+O"));
    const QKeySequence ctrlI(QStringLiteral("Ctrl+I"));
    const QKeySequence none;
    EXPECT_EQ(ResolveShortcuts({}), std::vector<bool>{});
    EXPECT_EQ(ResolveShortcuts({none, ctrlO, ctrlI, none, ctrlO, ctrlI, ctrlO}),
              (std::vector<bool>{false, true, true, false, false, false, false}));
    // Same keys written differently are the same key.
    EXPECT_EQ(ResolveShortcuts({QKeySequence(QStringLiteral("Ctrl+Alt+E")),
                                QKeySequence(QStringLiteral("Alt+Ctrl+E"))}),
              (std::vector<bool>{true, false}));
}
