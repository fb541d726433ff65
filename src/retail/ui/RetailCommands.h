#pragma once

#include <QString>
#include <functional>

#include <optional>

#include "retail/TillSale.h"
#include "sales/InvoiceEntry.h"

class QWidget;

namespace zodra {
class Database;
}

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::retail::ui {

// What a user may do at the register (the user's rights row).
struct CashierRights {
    bool useRegister = false;  // "POS"
    bool reports = false;      // X and Z reports (F9, F10)
};

// What the register needs from outside the retail windows; the program's wiring fills them in.
struct RegisterHooks {
    // The rights of a user. Without it nobody may use the register.
    std::function<CashierRights(Database&, const QString& user)> rightsOf;
    // Page Up: the login window again; the user who logged in, empty when it was left.
    std::function<QString(zodra::ui::WindowHost&, QWidget* parent)> logIn;
    // F9 and F10 for a cashier with the report right: the X report and the Z report.
    std::function<void(zodra::ui::WindowHost&, const QString& cashier)> xReport;
    std::function<void(zodra::ui::WindowHost&, const QString& cashier)> zReport;
    // Home: the entry of a composite product into the register's sale; the line that went in,
    // none when the cashier left the entry.
    std::function<std::optional<RegisterLineResult>(zodra::ui::WindowHost&, const TillSale& sale,
                                                    QWidget* parent)>
        compositeProducts;
};

// Home at the register: "Upis složenog artikla" with the products that have a bill of
// materials; "Prihvati" adds the line through AddRegisterCompositeLine (the parts' stock cut
// with the production's warning, produced by a work order at F12). None when left.
std::optional<RegisterLineResult> EnterCompositeProduct(zodra::ui::WindowHost& host,
                                                        const TillSale& sale, QWidget* parent);

// "Knjizenje_kasa"
QString RegisterCommand();

// Binds "Knjizenje_kasa": the register window "POS Kasa", once per workstation.
void RegisterRetailCommands(zodra::ui::CommandRegistry& registry, const RegisterHooks& hooks);

// The payment dialog for a posted retail invoice of the invoice window ("Naplata nakon
// maloprodajnog računa"): the cash box holds the amount already paid when one was typed, else
// the invoice's total.
void OpenRetailPaymentForInvoice(zodra::ui::WindowHost& host, const sales::InvoiceKey& key,
                                 double alreadyPaid);

}  // namespace zodra::retail::ui
