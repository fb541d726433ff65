#include "sales/ui/InvoiceListWindow.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoiceList.h"
#include "sales/InvoiceRemoval.h"
#include "sales/ui/InvoiceListMail.h"
#include "sales/ui/InvoiceListModel.h"
#include "sales/ui/InvoiceListTable.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

using zodra::ui::Guarded;
using zodra::ui::MakeButton;

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
    : QWidget(parent),
      m_host(host),
      m_registry(registry),
      m_correction(std::move(correction)),
      m_mail(std::move(mail)),
      m_mailFolder(QDir::tempPath()) {
    setObjectName(ObjectName());
    setWindowTitle(QStringLiteral("Izbor računa"));
    auto* layout = new QVBoxLayout(this);

    auto* bookRow = new QHBoxLayout;
    auto* bookLabel = new QLabel(QStringLiteral("&Knjiga IRA :"), this);
    m_book = new QComboBox(this);
    m_book->setObjectName(QStringLiteral("Knjiga"));
    bookLabel->setBuddy(m_book);
    Guarded(host.UserPrompter(), [&] {
        for (const IraBookChoice& b : IraBookChoices(host.CurrentSession().Db())) {
            m_book->addItem(QString::number(b.code) + QStringLiteral(" - ") + b.name, b.code);
        }
    });
    bookRow->addWidget(bookLabel);
    bookRow->addWidget(m_book, 1);
    layout->addLayout(bookRow);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Racuni"));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->setWordWrap(false);
    m_model = new InvoiceListModel(this);
    m_grid->setModel(m_model);
    // The customer takes the width the number, dates and mark leave.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model->columnCount() > 2) {
            m_grid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
        }
    });
    layout->addWidget(m_grid, 1);
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("Podaci"));
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_details);

    auto* buttons = new QHBoxLayout;
    const auto add = [&](const char* caption, const char* name, auto slot) {
        auto* b = MakeButton(QString::fromUtf8(caption), QString::fromUtf8(name), this);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    add("Isp&ravak", "Ispravak", [this] { CorrectCurrent(); });
    add("&Ispis", "Ispis", [this] { PrintCurrent(false); });
    add("Ispis bez rab&ata", "IspisBezRabata", [this] { PrintCurrent(true); });
    add("&Storno", "Storno", [this] { CancelCurrent(); });
    add("Iz&briši", "Izbrisi", [this] { DeleteCurrent(); });
    add("&Tablično", "Tablicno", [this] { OpenTable(); });
    add("&E-mail", "Email", [this] { MailCurrent(); });
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);

    connect(m_grid, &QAbstractItemView::activated, this, [this] { PrintCurrent(false); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &InvoiceListWindow::ShowDetails);
    connect(m_book, &QComboBox::currentIndexChanged, this, [this] { Reload(); });
    Reload();
    m_grid->setFocus();
    resize(720, 480);
}

InvoiceListWindow::~InvoiceListWindow() = default;

QString InvoiceListWindow::ObjectName() {
    return QStringLiteral("frmIzborRacuna");
}

int InvoiceListWindow::Book() const {
    return m_book->currentData().toInt();
}

void InvoiceListWindow::SetBook(int book) {
    const int index = m_book->findData(book);
    if (index >= 0) {
        m_book->setCurrentIndex(index);
    }
}

void InvoiceListWindow::Reload() {
    const QVariant current = CurrentNumber();
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const int warehouse = session.activeWarehouse.code;
    const int year = session.businessYear;
    const int book = Book();
    m_model->Reset(
        [&session, &prompter, warehouse, book, year](std::optional<int> after, int limit) {
            TableData page;
            Guarded(prompter, [&] {
                page = InvoiceChoicePage(session.Db(), warehouse, book, year, after, limit);
            });
            return page;
        });
    if (m_model->rowCount() > 0) {
        if (current.isValid()) {
            SelectNumber(current.toInt());
        }
        if (!CurrentNumber().isValid()) {
            m_grid->selectRow(0);
        }
    }
    ShowDetails();
}

QVariant InvoiceListWindow::CurrentNumber() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->Key(index.row()) : QVariant();
}

void InvoiceListWindow::SelectNumber(int number) {
    const int row = m_model->RowOf(number);
    if (row >= 0) {
        m_grid->selectRow(row);
        m_grid->scrollTo(m_model->index(row, 0));
    }
}

void InvoiceListWindow::ShowDetails() {
    const QVariant number = CurrentNumber();
    QString text;
    if (number.isValid()) {
        Session& s = m_host.CurrentSession();
        Guarded(m_host.UserPrompter(), [&] {
            text = InvoiceChoiceDetails(s.Db(), s.activeWarehouse.code, Book(), s.businessYear,
                                        number.toInt());
        });
    }
    m_details->setText(text);
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

}  // namespace zodra::sales::ui
