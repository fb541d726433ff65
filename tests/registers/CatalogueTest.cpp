#include <set>

#include "RegisterTestSupport.h"
#include "data/CommandCatalogue.h"
#include "pricelists/PriceLists.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using registers::Field;
using registers::FieldKind;
using registers::RegisterDescription;
namespace catalogue = registers::catalogue;

namespace {

// The register windows take every caption from the description: a register whose menu command
// were misspelt would not open, and a caption that differs from the menu's would title the
// window otherwise than the main window names it.
TEST(RegisterCatalogue, EveryRegisterNamesItsCommandAndTheCaptionsOfItsWindows) {
    std::set<QString> commandNames;
    std::set<QString> tables;
    for (const RegisterDescription* d : catalogue::All()) {
        SCOPED_TRACE(d->table.toStdString());
        EXPECT_FALSE(d->listCaption.isEmpty());
        EXPECT_TRUE(d->entryCaption.startsWith(u"Upis nov"_s)) << d->entryCaption.toStdString();
        const commands::Command* command = commands::Find(d->command);
        ASSERT_NE(command, nullptr) << d->command.toStdString();
        EXPECT_EQ(commands::WindowCaption(*command), d->listCaption);
        EXPECT_TRUE(commandNames.insert(d->command).second) << d->command.toStdString();
        EXPECT_TRUE(tables.insert(d->table).second);
        for (const Field& field : d->fields) {
            if (field.kind == FieldKind::Reference) {
                EXPECT_TRUE(field.shortcutCaption.startsWith(u"Nov"_s))
                    << field.column.toStdString();
            }
        }
    }
    EXPECT_EQ(commandNames.size(), catalogue::All().size());

    // The warehouses' and the card types' list captions are the window test's; their entry and
    // shortcut captions are read here.
    EXPECT_EQ(catalogue::Warehouses().FindField(u"SKLADISTE_ZALIHA"_s)->shortcutCaption,
              u"Novo skladište"_s);
    EXPECT_EQ(catalogue::CardTypes().entryCaption, u"Upis novog tipa kreditne kartice"_s);
    EXPECT_EQ(catalogue::Partners().FindField(u"NACIN_ISPORUKE"_s)->shortcutCaption,
              u"Novi način isporuke"_s);

    // The price lists' register is reached from the price-list window, not from a menu item.
    const RegisterDescription& priceLists = pricelists::Register();
    EXPECT_TRUE(priceLists.command.isEmpty());
    EXPECT_EQ(priceLists.listCaption, u"Cjenici"_s);
    EXPECT_EQ(priceLists.entryCaption, u"Upis novog cjenika"_s);
}

}  // namespace
