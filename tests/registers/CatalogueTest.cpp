#include <set>

#include "RegisterTestSupport.h"
#include "data/CommandCatalogue.h"
#include "pricelists/PriceLists.h"

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
        EXPECT_TRUE(d->entryCaption.startsWith(QStringLiteral("Upis nov")))
            << d->entryCaption.toStdString();
        const commands::Command* command = commands::Find(d->command);
        ASSERT_NE(command, nullptr) << d->command.toStdString();
        EXPECT_EQ(commands::WindowCaption(*command), d->listCaption);
        EXPECT_TRUE(commandNames.insert(d->command).second) << d->command.toStdString();
        EXPECT_TRUE(tables.insert(d->table).second);
        for (const Field& field : d->fields) {
            if (field.kind == FieldKind::Reference) {
                EXPECT_TRUE(field.shortcutCaption.startsWith(QStringLiteral("Nov")))
                    << field.column.toStdString();
            }
        }
    }
    EXPECT_EQ(commandNames.size(), catalogue::All().size());

    // The warehouses' and the card types' list captions are the window test's; their entry and
    // shortcut captions are read here.
    EXPECT_EQ(
        catalogue::Warehouses().FindField(QStringLiteral("SKLADISTE_ZALIHA"))->shortcutCaption,
        QStringLiteral("Novo skladište"));
    EXPECT_EQ(catalogue::CardTypes().entryCaption,
              QStringLiteral("Upis novog tipa kreditne kartice"));
    EXPECT_EQ(catalogue::Partners().FindField(QStringLiteral("NACIN_ISPORUKE"))->shortcutCaption,
              QStringLiteral("Novi način isporuke"));

    // The price lists' register is reached from the price-list window, not from a menu item.
    const RegisterDescription& priceLists = pricelists::Register();
    EXPECT_TRUE(priceLists.command.isEmpty());
    EXPECT_EQ(priceLists.listCaption, QStringLiteral("Cjenici"));
    EXPECT_EQ(priceLists.entryCaption, QStringLiteral("Upis novog cjenika"));
}

}  // namespace
