#include "retail/ui/NegativeReceipt.h"

#include "data/Prompter.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::retail::ui {

void PrintNegativeReceipt(zodra::ui::WindowHost& host, int book, int number, const QString& title) {
    Session& session = host.CurrentSession();
    if (!session.workstation.posPrinter) {
        return;
    }
    const pos::InvoiceKey key{session.activeWarehouse.code, book, session.businessYear, number};
    // The main tables' invoice itself, never the detail tables of a company that sums them.
    pos::ReceiptOptions options = pos::OptionsOf(session);
    options.summed = false;
    options.cancellation = true;
    bool fiscalized = false;
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        fiscalized = pos::MarksOfReceipt(session, options, key).has_value();
    });
    if (!fiscalized) {
        return;
    }
    const QString error = pos::PrintReceipt(session, key, options, false);
    if (!error.isEmpty()) {
        host.UserPrompter().Inform(error, title);
    }
}

}  // namespace zodra::retail::ui
