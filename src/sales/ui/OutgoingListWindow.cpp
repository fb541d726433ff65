#include "sales/ui/OutgoingListWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/OutgoingList.h"
#include "sales/OutgoingRemoval.h"
#include "sales/ui/DeliveryBillingWindow.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceListModel.h"
#include "sales/ui/InvoiceWindows.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

using zodra::ui::Guarded;

namespace {

bool HasBooks(const OutgoingDocument& document) {
    return document.kind != OutgoingKind::DeliveryNote;
}

ChoiceListSource OutgoingSource(const OutgoingDocument& document) {
    return {[&document](Database& db, int warehouse, int book, int year, std::optional<int> after,
                        int limit) {
                return OutgoingChoicePage(db, document, warehouse, book, year, after, limit);
            },
            [&document](Database& db, int warehouse, int book, int year, int number) {
                return OutgoingChoiceDetails(db, document, warehouse, book, year, number);
            }};
}

std::vector<ChoiceListButton> OutgoingButtons(OutgoingListWindow* window,
                                              const OutgoingDocument& document) {
    std::vector<ChoiceListButton> buttons;
    if (HasBooks(document)) {
        buttons.push_back({"&Račun", "Racun", [window] { window->MakeInvoice(); }});
    }
    buttons.push_back({"&Ispis", "Ispis", [window] { window->PrintCurrent(); }});
    buttons.push_back({"Iz&briši", "Izbrisi", [window] { window->DeleteCurrent(); }});
    buttons.push_back({"&Tablično", "Tablicno", [window] { window->OpenTable(); }});
    if (!HasBooks(document)) {
        buttons.push_back(
            {"Ra&čuni iz otpremnica", "RacuniIzOtpremnica", [window] { window->OpenBilling(); }});
    }
    return buttons;
}

}  // namespace

OutgoingListWindow::OutgoingListWindow(zodra::ui::WindowHost& host,
                                       const zodra::ui::CommandRegistry* registry,
                                       const OutgoingDocument& document, OutgoingPrinter printer,
                                       QWidget* parent)
    : ChoiceListWindow(
          host, HasBooks(document), QStringLiteral("Dokumenti"), ChoiceListFit::CustomerStretches,
          OutgoingSource(document), OutgoingButtons(this, document), [this] { PrintCurrent(); },
          parent),
      m_host(host),
      m_registry(registry),
      m_document(document),
      m_printer(std::move(printer)) {
    setObjectName(ObjectName(document));
    setWindowTitle(Title(document));
    List()->installEventFilter(this);
    Reload();
    List()->setFocus();
    resize(720, 480);
}

OutgoingListWindow::~OutgoingListWindow() = default;

bool OutgoingListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        DeleteCurrent();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString OutgoingListWindow::ObjectName(const OutgoingDocument& document) {
    switch (document.kind) {
        case OutgoingKind::Offer:
            return QStringLiteral("frmIzborPonude");
        case OutgoingKind::ProForma:
            return QStringLiteral("frmIzborPredracuna");
        case OutgoingKind::DeliveryNote:
            return QStringLiteral("frmIzborOtpremnica");
        case OutgoingKind::Invoice:
            break;
    }
    return QStringLiteral("frmIzborRacuna");
}

QString OutgoingListWindow::Title(const OutgoingDocument& document) {
    switch (document.kind) {
        case OutgoingKind::Offer:
            return QStringLiteral("Izbor ponude");
        case OutgoingKind::ProForma:
            return QStringLiteral("Izbor predračuna");
        case OutgoingKind::DeliveryNote:
            return QStringLiteral("Izbor otpremnica");
        case OutgoingKind::Invoice:
            break;
    }
    return QStringLiteral("Izbor računa");
}

void OutgoingListWindow::MakeInvoice() {
    const QVariant number = CurrentNumber();
    if (!number.isValid() || !HasBooks(m_document)) {
        return;
    }
    const int book = Book();
    // The invoice window is opened through its command, so that it posts and prints as the
    // menu's does; an open one is used as it stands.
    m_host.RunCommand(InvoiceCommand());
    auto* window = qobject_cast<zodra::ui::DocumentWindow*>(m_host.FindWindow(InvoiceCommand()));
    if (!window) {
        Guarded(m_host.UserPrompter(), [&] { window = OpenInvoiceWindow(m_host, m_registry); });
    }
    auto* controller = window ? dynamic_cast<InvoiceController*>(window->Controller()) : nullptr;
    if (!controller) {
        return;
    }
    Guarded(m_host.UserPrompter(),
            [&] { controller->CopyFrom(m_host, m_document, book, number.toInt()); });
    Reload();
    window->setFocus();
}

void OutgoingListWindow::PrintCurrent() {
    const QVariant number = CurrentNumber();
    if (!number.isValid()) {
        return;
    }
    if (!m_printer) {
        m_host.UserPrompter().Inform(QStringLiteral("Ispis nije dostupan."), windowTitle());
        return;
    }
    Guarded(m_host.UserPrompter(), [&] { m_printer(m_host, m_document, Book(), number.toInt()); });
}

void OutgoingListWindow::DeleteCurrent() {
    const QVariant key = CurrentNumber();
    if (!key.isValid()) {
        return;
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const int book = Book();
    // What cannot be deleted is told before the question; the deletion checks again.
    if (!Guarded(prompter,
                 [&] { CheckOutgoingCanBeDeleted(session, m_document, book, key.toInt()); })) {
        return;
    }
    Guarded(prompter, [&] { DeleteOutgoing(session, prompter, m_document, book, key.toInt()); });
    Reload();
}

void OutgoingListWindow::OpenTable() {
    const QString name = objectName() + QStringLiteral("_tablica");
    if (QWidget* open = m_host.FindWindow(name)) {
        open->close();
    }
    auto* table = new OutgoingListTable(m_host, m_document, Book());
    table->setObjectName(name);
    m_host.ShowWindow(table, table->windowTitle());
}

void OutgoingListWindow::OpenBilling() {
    if (m_host.FindWindow(DeliveryBillingWindow::ObjectName())) {
        return;
    }
    auto* window = new DeliveryBillingWindow(m_host);
    m_host.ShowWindow(window, window->windowTitle());
}

OutgoingListTable::OutgoingListTable(zodra::ui::WindowHost& host, const OutgoingDocument& document,
                                     int book, QWidget* parent)
    : QWidget(parent) {
    switch (document.kind) {
        case OutgoingKind::Offer:
            setWindowTitle(QStringLiteral("Ponude"));
            break;
        case OutgoingKind::ProForma:
            setWindowTitle(QStringLiteral("Predračuni"));
            break;
        default:
            setWindowTitle(QStringLiteral("Otpremnice"));
            break;
    }
    auto* layout = new QVBoxLayout(this);
    m_model = new InvoiceListModel(this);
    m_table =
        MakeChoiceList(QStringLiteral("Tablica"), m_model, ChoiceListFit::CustomerStretches, this);
    layout->addWidget(m_table, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    layout->addWidget(m_totals);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);

    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    const int warehouse = session.activeWarehouse.code;
    const int year = session.businessYear;
    m_model->Reset([&session, &prompter, &document, warehouse, book, year](std::optional<int> after,
                                                                           int limit) {
        TableData page;
        Guarded(prompter, [&] {
            page = OutgoingTablePage(session.Db(), document, warehouse, book, year, after, limit);
        });
        return page;
    });
    QString totals;
    Guarded(prompter,
            [&] { totals = OutgoingTableTotals(session.Db(), document, warehouse, book, year); });
    m_totals->setText(totals);
    if (m_model->rowCount() > 0) {
        m_table->selectRow(0);
    }
    m_table->setFocus();
    resize(1000, 520);
}

OutgoingListWindow* OpenOutgoingList(zodra::ui::WindowHost& host,
                                     const zodra::ui::CommandRegistry* registry,
                                     const OutgoingDocument& document, OutgoingPrinter printer) {
    if (auto* open = qobject_cast<OutgoingListWindow*>(
            host.FindWindow(OutgoingListWindow::ObjectName(document)))) {
        open->Reload();
        return open;
    }
    auto* window = new OutgoingListWindow(host, registry, document, std::move(printer));
    host.ShowWindow(window, window->windowTitle());
    return window;
}

void RegisterOutgoingListCommands(zodra::ui::CommandRegistry& registry, OutgoingPrinter printer) {
    const zodra::ui::CommandRegistry* r = &registry;
    const std::pair<const char16_t*, const OutgoingDocument*> commands[] = {
        {u"Pregledi_ponude", &OfferDocument()},
        {u"Pregledi_predracuni", &ProFormaDocument()},
        {u"Pregledi_otpremnice", &DeliveryNoteDocument()}};
    for (const auto& [command, document] : commands) {
        registry.Register(QString::fromUtf16(command),
                          [r, document, printer](zodra::ui::WindowHost& host) {
                              OpenOutgoingList(host, r, *document, printer);
                          });
    }
}

}  // namespace zodra::sales::ui
