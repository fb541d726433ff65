#include <gtest/gtest.h>

#include <set>

#include "app/Users.h"
#include "data/CommandCatalogue.h"

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(top, (QStringList{u"Poduzeća"_s, u"Osnovni podaci"_s, u"Knjiženje"_s, u"Izvještaji"_s,
                                u"Prozori"_s, u"Pomoć"_s}));
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
    EXPECT_EQ(FindToolButton(u"SSCommand6"_s)->command, u"Knjizenje_primka"_s);
    EXPECT_EQ(FindToolButton(u"SSCommand2"_s)->statusText, u" Zatvaranje poduzeća"_s);
    // A window is titled by its own caption where the menu's differs, else by the menu's.
    EXPECT_EQ(WindowCaption(u"SSCommand16"_s), u"Planer"_s);
    EXPECT_EQ(WindowCaption(u"Podaci_poduzeca"_s), u"Upis podataka poduzeća"_s);
}

TEST(CommandCatalogue, TheTillOnlyInARetailWarehouse) {
    const QString refusal =
        u"Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa."_s;
    EXPECT_EQ(RefusalInWarehouse(u"Knjizenje_kasa"_s, false, false), refusal);
    EXPECT_TRUE(RefusalInWarehouse(u"Knjizenje_kasa"_s, true, false).isEmpty());
    EXPECT_TRUE(RefusalInWarehouse(u"Knjizenje_kasa"_s, false, true).isEmpty());
    EXPECT_TRUE(RefusalInWarehouse(u"Knjizenje_racun"_s, false, false).isEmpty());
}
