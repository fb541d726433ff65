#include <gtest/gtest.h>

#include <set>

#include "app/Users.h"
#include "data/CommandCatalogue.h"

using namespace zodra;
using namespace zodra::commands;

TEST(CommandCatalogue, NamesAreUniqueAndEveryEntryHangsOnAMenu) {
    std::set<QString> names;
    for (const Command& c : Menu()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name.toStdString();
        if (!c.parent.isEmpty()) {
            const Command* parent = Find(c.parent);
            ASSERT_NE(parent, nullptr) << c.name.toStdString();
            EXPECT_EQ(parent->kind, Kind::Menu) << c.name.toStdString();
        }
        if (c.kind == Kind::Item && !c.caption.isEmpty()) {
            EXPECT_TRUE(c.statusText.startsWith(QLatin1Char(' '))) << c.name.toStdString();
        }
    }
    // The menu bar, in order.
    QStringList top;
    for (const Command* c : Children(QString())) {
        top << c->caption;
    }
    EXPECT_EQ(top, (QStringList{QStringLiteral("Poduzeća"), QStringLiteral("Osnovni podaci"),
                                QStringLiteral("Knjiženje"), QStringLiteral("Izvještaji"),
                                QStringLiteral("Prozori"), QStringLiteral("Pomoć")}));
}

TEST(CommandCatalogue, EveryCommandARightSwitchesExists) {
    for (const users::Right& right : users::Rights()) {
        for (const QString& name : right.commands) {
            EXPECT_TRUE(Find(name) != nullptr || FindToolButton(name) != nullptr)
                << right.column.toStdString() << " → " << name.toStdString();
        }
    }
}

TEST(CommandCatalogue, ToolBarButtonsRunMenuCommandsOrPopUpMenus) {
    ASSERT_EQ(ToolBar().size(), 16u);
    for (const ToolButton& b : ToolBar()) {
        if (!b.popupMenu.isEmpty()) {
            ASSERT_NE(Find(b.popupMenu), nullptr) << b.name.toStdString();
            EXPECT_EQ(Find(b.popupMenu)->kind, Kind::Menu);
        } else if (b.command != b.name) {
            EXPECT_NE(Find(b.command), nullptr) << b.name.toStdString();
        }
    }
    EXPECT_EQ(FindToolButton(QStringLiteral("SSCommand6"))->command,
              QStringLiteral("Knjizenje_primka"));
    EXPECT_EQ(FindToolButton(QStringLiteral("SSCommand2"))->statusText,
              QStringLiteral(" Zatvaranje poduzeća"));
    // A window is titled by its own caption where the menu's differs, else by the menu's.
    EXPECT_EQ(WindowCaption(QStringLiteral("SSCommand16")), QStringLiteral("Planer"));
    EXPECT_EQ(WindowCaption(QStringLiteral("Podaci_poduzeca")),
              QStringLiteral("Upis podataka poduzeća"));
}

TEST(CommandCatalogue, TheTillOnlyInARetailWarehouse) {
    const QString refusal = QStringLiteral(
        "Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa.");
    EXPECT_EQ(RefusalInWarehouse(QStringLiteral("Knjizenje_kasa"), false, false), refusal);
    EXPECT_TRUE(RefusalInWarehouse(QStringLiteral("Knjizenje_kasa"), true, false).isEmpty());
    EXPECT_TRUE(RefusalInWarehouse(QStringLiteral("Knjizenje_kasa"), false, true).isEmpty());
    EXPECT_TRUE(RefusalInWarehouse(QStringLiteral("Knjizenje_racun"), false, false).isEmpty());
}
