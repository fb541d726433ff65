#include "sales/ui/InvoiceListWindow.h"

#include <QDate>
#include <QDir>
#include <QTableView>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoiceList.h"
#include "sales/InvoiceRemoval.h"
#include "sales/ui/InvoiceListMail.h"
#include "sales/ui/InvoiceListTable.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

using zodra::ui::Guarded;

namespace {

// The two answers to the date question that let the user type it again.
bool IsDateRefusal(const QString& message) {
    return message.startsWith(QStringLiteral("Datum storna "));
}

}  // namespace

InvoiceListWindow::InvoiceListWindow(zodra::ui::WindowHost& host,
                                     const zodra::ui::CommandRegistry* registry,
                                     InvoiceCorrectionOpener correction,
                                     std::shared_ptr<MailProgram> mail, QWidget* parent)
    : ChoiceListWindow(
          host, true, QStringLiteral("Racuni"), ChoiceListFit::ThirdColumnStretches,
          {InvoiceChoicePage, InvoiceChoiceDetails},
          {{"Isp&ravak", "Ispravak", [this] { CorrectCurrent(); }},
           {"&Ispis", "Ispis", [this] { PrintCurrent(false); }},
           {"Ispis bez rab&ata", "IspisBezRabata", [this] { PrintCurrent(true); }},
           {"&Storno", "Storno", [this] { CancelCurrent(); }},
           {"Iz&briši", "Izbrisi", [this] { DeleteCurrent(); }},
           {"&Tablično", "Tablicno", [this] { OpenTable(); }},
           {"&E-mail", "Email", [this] { MailCurrent(); }},
           {"eRač&un", "ERacun", [this] { EInvoiceCurrent(); }}},
          [this] { PrintCurrent(false); }, parent),
      m_host(host),
      m_registry(registry),
      m_correction(std::move(correction)),
      m_mail(std::move(mail)),
      m_mailFolder(QDir::tempPath()) {
    setObjectName(ObjectName());
    setWindowTitle(QStringLiteral("Izbor računa"));
    Reload();
    Grid()->setFocus();
    resize(840, 480);  // room for every button's caption
}

InvoiceListWindow::~InvoiceListWindow() = default;

QString InvoiceListWindow::ObjectName() {
    return QStringLiteral("frmIzborRacuna");
}

void InvoiceListWindow::CorrectCurrent() {
    const QVariant number = CurrentNumber();
    if (!number.isValid()) {
        return;
    }
    if (!m_correction) {
        m_host.UserPrompter().Inform(QStringLiteral("Ispravak računa nije dostupan."),
                                     windowTitle());
        return;
    }
    Guarded(m_host.UserPrompter(),
            [&] { m_correction(m_host, m_registry, Book(), number.toInt()); });
}

void InvoiceListWindow::ShowPrint(InvoicePrintKind kind, int number, bool withoutDiscount) {
    reports::ReportRequest request;
    if (Guarded(m_host.UserPrompter(), [&] {
            request =
                InvoicePrintRequest(m_host.CurrentSession(), Book(), number, kind, withoutDiscount);
        })) {
        reports::ui::ShowReport(m_host, request);
    }
}

void InvoiceListWindow::PrintCurrent(bool withoutDiscount) {
    const QVariant number = CurrentNumber();
    if (number.isValid()) {
        ShowPrint(InvoicePrintKind::Invoice, number.toInt(), withoutDiscount);
    }
}

void InvoiceListWindow::CancelCurrent() {
    const QVariant key = CurrentNumber();
    if (!key.isValid()) {
        return;
    }
    const int number = key.toInt();
    const int book = Book();
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    if (!prompter.AskYesNo(CancelQuestion(), CancelTitle(), false) ||
        !Guarded(prompter, [&] { CheckCanBeCancelled(session, book, number); })) {
        return;
    }
    QDate date;
    for (;;) {
        const std::optional<QString> typed =
            prompter.AskText(CancelDatePrompt(), CancelTitle(),
                             QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
        if (!typed) {
            return;
        }
        try {
            date = CheckCancellationDate(session, book, number, *typed);
            break;
        } catch (const UserError& e) {
            prompter.Inform(e.message(), CancelTitle());
            if (!IsDateRefusal(e.message())) {
                return;
            }
        }
    }
    // Bound service consumptions are announced (and may be declined) before the transaction.
    bool cancelled = false;
    Guarded(prompter, [&] { cancelled = CancelInvoice(session, prompter, book, number, date); });
    Reload();
    if (cancelled) {
        if (m_negativeReceipt) {
            m_negativeReceipt(m_host, book, number);
        }
        ShowPrint(InvoicePrintKind::Cancellation, number, false);
    }
}

void InvoiceListWindow::DeleteCurrent() {
    const QVariant key = CurrentNumber();
    Prompter& prompter = m_host.UserPrompter();
    if (!key.isValid() || !prompter.AskYesNo(DeleteQuestion(), DeleteTitle(), false)) {
        return;
    }
    Guarded(prompter,
            [&] { DeleteInvoice(m_host.CurrentSession(), prompter, Book(), key.toInt()); });
    Reload();
}

void InvoiceListWindow::OpenTable() {
    const QString name = ObjectName() + QStringLiteral("_tablica");
    if (m_host.FindWindow(name)) {
        return;
    }
    auto* table = new InvoiceListTable(m_host, Book());
    table->setObjectName(name);
    m_host.ShowWindow(table, table->windowTitle());
}

QString InvoiceListWindow::MailFile(int number) const {
    const Session& s = m_host.CurrentSession();
    return QDir(m_mailFolder)
        .filePath(QStringLiteral("Racun_%1_%2-%3.pdf").arg(number).arg(Book()).arg(s.businessYear));
}

void InvoiceListWindow::MailCurrent() {
    const QVariant key = CurrentNumber();
    if (!key.isValid() || !m_mail) {
        return;
    }
    const int number = key.toInt();
    const QString pdf = MailFile(number);
    Session& session = m_host.CurrentSession();
    if (!Guarded(m_host.UserPrompter(), [&] {
            reports::ReportEngine(session.Db())
                .ToPdf(InvoicePrintRequest(session, Book(), number), pdf);
        })) {
        return;
    }
    SendByMail(*m_mail, m_host.UserPrompter(),
               QStringLiteral("Račun br. ") + QString::number(number), pdf);
}

void InvoiceListWindow::EInvoiceCurrent() {
    const QVariant number = CurrentNumber();
    if (!number.isValid()) {
        return;
    }
    if (!m_einvoice) {
        m_host.UserPrompter().Inform(QStringLiteral("eRačun nije dostupan."), windowTitle());
        return;
    }
    m_einvoice(m_host, Book(), number.toInt());
}

}  // namespace zodra::sales::ui
