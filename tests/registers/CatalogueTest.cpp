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

    const RegisterDescription& warehouses = catalogue::Warehouses();
    EXPECT_EQ(warehouses.command, QStringLiteral("Skladista"));
    EXPECT_EQ(warehouses.listCaption, QStringLiteral("Skladišta"));
    EXPECT_EQ(warehouses.entryCaption, QStringLiteral("Upis novog skladišta"));
    EXPECT_EQ(warehouses.FindField(QStringLiteral("SKLADISTE_ZALIHA"))->shortcutCaption,
              QStringLiteral("Novo skladište"));
    const RegisterDescription& cards = catalogue::CardTypes();
    EXPECT_EQ(cards.command, QStringLiteral("Sifarnici_Tipovi_kartica"));
    EXPECT_EQ(cards.listCaption, QStringLiteral("Tipovi kreditnih kartica"));
    EXPECT_EQ(cards.entryCaption, QStringLiteral("Upis novog tipa kreditne kartice"));
    EXPECT_EQ(catalogue::Partners().FindField(QStringLiteral("NACIN_ISPORUKE"))->shortcutCaption,
              QStringLiteral("Novi način isporuke"));

    // The price lists' register is reached from the price-list window, not from a menu item.
    const RegisterDescription& priceLists = pricelists::Register();
    EXPECT_TRUE(priceLists.command.isEmpty());
    EXPECT_EQ(priceLists.listCaption, QStringLiteral("Cjenici"));
    EXPECT_EQ(priceLists.entryCaption, QStringLiteral("Upis novog cjenika"));
}

}  // namespace
