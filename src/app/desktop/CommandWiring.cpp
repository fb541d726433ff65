#include "app/desktop/CommandWiring.h"

#include <QSettings>

#include "app/Users.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/ShellCommands.h"
#include "assets/ui/FixedAssetCommands.h"
#include "books/ui/IraCommands.h"
#include "books/ui/KpiListWindow.h"
#include "books/ui/UraCommands.h"
#include "books/ui/VatCommands.h"
#include "cashbook/ui/CashBookCommands.h"
#include "charts/ui/ChartCommands.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "fiscal/ui/EInvoiceExport.h"
#include "fiscal/ui/UnconfirmedReceiptsWindow.h"
#include "maintenance/ui/MaintenanceWindow.h"
#include "payments/ui/PaymentCommands.h"
#include "payments/ui/PaymentReportCommands.h"
#include "pricelists/ui/PriceListCommands.h"
#include "production/ui/ProductionWindows.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/RegisterCommands.h"
#include "retail/DaySumming.h"
#include "retail/TransferSumming.h"
#include "retail/XReport.h"
#include "retail/ui/NegativeReceipt.h"
#include "retail/ui/RetailCommands.h"
#include "sales/InvoiceRemoval.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/InvoiceWindows.h"
#include "sales/ui/OutgoingListWindow.h"
#include "stock/ui/StockCommands.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "summary/ui/SummaryCommands.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "yearend/ui/YearTransferCommands.h"

namespace zodra::desktop {

void RegisterAllCommands(ui::CommandRegistry& registry) {
    ui::RegisterShellCommands(registry);
    // One line per subsystem, e.g. stock::ui::RegisterStockCommands(registry);
    cashbook::ui::RegisterCashBookCommands(registry);
    books::ui::RegisterVatCommands(registry);
    books::ui::RegisterIraCommands(registry);
    books::ui::RegisterUraCommands(registry);
    registers::ui::RegisterRegisterCommands(registry);
    pricelists::ui::RegisterPriceListCommands(registry);
    purchasing::ui::RegisterPurchasingCommands(registry);
    sales::ui::InvoiceAfterPosting afterInvoice;
    afterInvoice.printAfterPosting = &sales::ui::ShowPostedInvoicePrints;
    // "Naplata nakon maloprodajnog računa"
    afterInvoice.openRetailPayment = &retail::ui::OpenRetailPaymentForInvoice;
    sales::ui::RegisterSalesCommands(registry, afterInvoice);
    // "Izbor računa"; its "Ispravak" opens the invoice window on the posted invoice, its
    // "Storno" prints a fiscalized receipt's negative receipt on the till's receipt printer.
    sales::ui::RegisterInvoiceListCommands(
        registry, &sales::ui::OpenInvoiceCorrection,
        [](zodra::ui::WindowHost& host, int book, int number) {
            fiscal::ui::ExportEInvoice(host, book, number);
        },
        [](zodra::ui::WindowHost& host, int book, int number) {
            retail::ui::PrintNegativeReceipt(host, book, number, sales::CancelTitle());
        });
    // "Izbor ponude", "Izbor predračuna", "Izbor otpremnica"; their "Ispis" waits for the
    // printouts of these kinds (no printer handed over yet: the button says so).
    // "Izbor ponude", "Izbor predračuna", "Izbor otpremnica": "Ispis" shows the kind's printout.
    sales::ui::RegisterOutgoingListCommands(
        registry,
        [](ui::WindowHost& host, const sales::OutgoingDocument& document, int book, int number) {
            sales::InvoiceKey key;
            key.warehouse = host.CurrentSession().activeWarehouse.code;
            key.book = book;
            key.year = host.CurrentSession().businessYear;
            key.number = number;
            sales::ui::InvoicePrintChoice choice;
            choice.document = true;
            sales::ui::ShowPostedDocumentPrint(host, document.kind, key, choice);
        });
    stockdocs::ui::RegisterStockDocsCommands(registry);
    stock::ui::RegisterStockCommands(registry);
    production::ui::RegisterProductionCommands(registry);
    retail::ui::RegisterRetailCommands(registry, RegisterHooks());
    books::ui::RegisterKpiCommands(registry);
    assets::ui::RegisterFixedAssetCommands(registry);
    // "Saldakonti": the debt and payment reports, then the collection windows; the partners'
    // cards open as windows (their printed form stays reachable through zodractl).
    payments::ui::RegisterPaymentReportCommands(registry);
    payments::ui::RegisterPaymentCommands(registry);
    yearend::ui::RegisterYearTransferCommands(registry);
    // "Rekapitulacije", "Prodaja", "Stanje na skladištu": the summary reports.
    summary::ui::RegisterSummaryCommands(registry);
    maintenance::ui::RegisterMaintenanceCommands(registry);
    charts::ui::RegisterChartCommands(registry);
    // The program's workstation settings hold the fiscal ones the retry uses.
    fiscal::ui::RegisterFiscalCommands(
        registry, QSettings(QStringLiteral("Zodra"), QStringLiteral("Zodra")).fileName());
}

namespace {

// "Promet u maloprodaji" of today to the receipt printer: every cashier when the administrator
// asks for it, else the register's cashier. False when it could not be printed.
bool ShowDayReport(ui::WindowHost& host, const QString& cashier, bool dayEnd = false) {
    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    bool printed = false;
    ui::Guarded(prompter, [&] {
        const QDate today = QDate::currentDate();
        retail::XReportOptions options = retail::AskXReport(session, prompter, today, today);
        if (options.cashier) {
            options.cashier = cashier;
        }
        options.dayEnd = dayEnd;
        const QString error =
            retail::PrintReportLines(session, retail::XReportLines(session.Db(), options));
        if (!error.isEmpty()) {
            prompter.Inform(error, QStringLiteral("Promet u maloprodaji"));
            return;
        }
        printed = true;
    });
    return printed;
}

}  // namespace

retail::ui::RegisterHooks RegisterHooks() {
    retail::ui::RegisterHooks hooks;
    hooks.rightsOf = [](Database& db, const QString& user) {
        const users::AppliedRights applied = users::ApplyUserRights(db, user);
        retail::ui::CashierRights rights;
        const auto pos = applied.commandEnabled.find(retail::ui::RegisterCommand());
        rights.useRegister = applied.found && pos != applied.commandEnabled.end() && pos->second;
        rights.reports = applied.found && applied.session.registerZReportAllowed;
        return rights;
    };
    hooks.logIn = [](ui::WindowHost& host, QWidget* parent) {
        Session& session = host.CurrentSession();
        ui::LoginDialog login(session.Db(), host.UserPrompter(), QString(), parent);
        return login.exec() == QDialog::Accepted ? login.UserName() : QString();
    };
    hooks.xReport = [](ui::WindowHost& host, const QString& cashier) {
        ShowDayReport(host, cashier);
    };
    // Z: the X report first, then the day-end steps, each with its own question.
    hooks.zReport = [](ui::WindowHost& host, const QString& cashier) {
        if (!ShowDayReport(host, cashier, true)) {
            return;
        }
        Session& session = host.CurrentSession();
        Prompter& prompter = host.UserPrompter();
        const QDate today = QDate::currentDate();
        ui::Guarded(prompter, [&] {
            const QString warning = retail::UnconfirmedReceiptsWarning(session.Db());
            if (!warning.isEmpty()) {
                prompter.Inform(
                    warning + QStringLiteral(". Popis i ponovno slanje: \"Nepotvrđeni računi\"."),
                    QStringLiteral("Z izvještaj"));
            }
            retail::SumStep(session, prompter, today, today);
            const retail::DeferredReduction reduced = retail::ReduceStep(session, prompter);
            if (!reduced.priceDifferences.isEmpty()) {
                prompter.Inform(reduced.priceDifferences.join(QLatin1Char('\n')),
                                QStringLiteral("Skidanje artikala sa skladišta"));
            }
            retail::TransferSumStep(session, prompter, today);
            retail::TakingsStep(session, today);
        });
    };
    hooks.compositeProducts = &retail::ui::EnterCompositeProduct;
    return hooks;
}

}  // namespace zodra::desktop
