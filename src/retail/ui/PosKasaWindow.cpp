#include "retail/ui/PosKasaWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "registers/RegisterStore.h"
#include "registers/ui/ArticlePicker.h"
#include "retail/RetailPosting.h"
#include "retail/ui/ControlTapeDialog.h"
#include "retail/ui/PaymentDialog.h"
#include "retail/ui/PosFormat.h"
#include "sales/InvoiceEntry.h"
#include "sales/InvoicePosting.h"
#include "sales/ui/ServiceLineDialog.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::retail::ui {

namespace {

const QStringList& ArticleOrders() {
    static const QStringList orders{QStringLiteral("po nazivu"),
                                    QStringLiteral("po nazivu i šifri"),
                                    QStringLiteral("po šifri i nazivu")};
    return orders;
}

constexpr int kTotalColumn = 9;  // "Ukupno" of the lines grid

QString HelpWithReports() {
    return QStringLiteral(
        "Barkod i kol.-F4  Barkod-F5  Traži-F6  Usluge-F7  Sl.proiz.-Home  Briši-F8  X-F9  Z-F10  "
        "Kont. traka-F2  Ispis-F3  Log off-Page Up");
}

QString HelpWithoutReports() {
    return QStringLiteral(
        "Barkod i kol.-F4  Barkod-F5  Traži-F6  Usluge-F7  Sl.proiz.-Home  Briši-F8  "
        "Kont. traka-F2  Ispis-F3  Log off-Page Up");
}

bool IsWindowKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_Escape:
        case Qt::Key_F2:
        case Qt::Key_F3:
        case Qt::Key_F4:
        case Qt::Key_F5:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_Home:
        case Qt::Key_F8:
        case Qt::Key_F9:
        case Qt::Key_F10:
        case Qt::Key_F11:
        case Qt::Key_F12:
        case Qt::Key_Pause:
        case Qt::Key_Insert:
            return true;
        default:
            return false;
    }
}

QLabel* FieldLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

QString NoRegisterRightMessage(const QString& user) {
    return QStringLiteral("Korisnik ") + user +
           QStringLiteral(" nema prava na korištenje POS blagajne.");
}

QString AddFailedMessage() {
    return QStringLiteral("Upis artikla nije uspio.");
}

PosKasaWindow* PosKasaWindow::Open(zodra::ui::WindowHost& host, const RegisterHooks& hooks) {
    Session& session = host.CurrentSession();
    CashierRights rights;
    if (hooks.rightsOf) {
        rights = hooks.rightsOf(session.Db(), session.userName);
    }
    if (!rights.useRegister) {
        host.UserPrompter().Inform(NoRegisterRightMessage(session.userName),
                                   QStringLiteral("POS Kasa"));
        return nullptr;
    }
    return new PosKasaWindow(host, hooks, session.userName, rights);
}

PosKasaWindow::PosKasaWindow(zodra::ui::WindowHost& host, const RegisterHooks& hooks,
                             const QString& cashier, CashierRights rights)
    : m_host(host), m_hooks(hooks), m_cashier(cashier), m_rights(rights) {
    setObjectName(RegisterCommand());
    Session& session = host.CurrentSession();
    m_sale = OpenTillSale(session, QDate::currentDate());
    m_saleOpen = true;
    m_sale.cashier = cashier;
    m_order = std::max(0, static_cast<int>(ArticleOrders().indexOf(session.options.articleOrder)));
    BuildBoxes();
    FillChoices();
    ApplyLayout(1);
    Refresh();
    m_help->setText(HelpText());
    setWindowTitle(Caption());
    Display(QStringLiteral("Dobro došli"), QStringLiteral("Welcome"));
    qApp->installEventFilter(this);
    m_barcode->setFocus();
}

PosKasaWindow::~PosKasaWindow() {
    qApp->removeEventFilter(this);
    CloseSale();
}

QString PosKasaWindow::Caption() const {
    return QStringLiteral("POS Kasa ") + m_host.CurrentSession().activeWarehouse.name +
           QStringLiteral(", UserName: ") + m_cashier;
}

QString PosKasaWindow::HelpText() const {
    return m_rights.reports ? HelpWithReports() : HelpWithoutReports();
}

QString PosKasaWindow::Layout() const {
    return QStringLiteral("EKRAN_") + QString::number(m_layout);
}

QString PosKasaWindow::ArticleOrder() const {
    return ArticleOrders().at(m_order);
}

void PosKasaWindow::BuildBoxes() {
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();

    m_barcode = new QLineEdit(this);
    m_barcode->setObjectName(QStringLiteral("Barkod"));
    m_barcode->setToolTip(QStringLiteral("Ovdje postavite kursor za upotrebu bar kod čitača"));
    m_barcode->setPlaceholderText(
        QStringLiteral("Ovdje postavite kursor za upotrebu bar kod čitača"));
    zodra::ui::KeepEnter(m_barcode);
    connect(m_barcode, &QLineEdit::returnPressed, this, &PosKasaWindow::BarcodeEntered);

    m_code = new QLineEdit(QStringLiteral("0"), this);
    m_code->setObjectName(QStringLiteral("Sifra"));
    zodra::ui::KeepEnter(m_code);
    connect(m_code, &QLineEdit::returnPressed, this, &PosKasaWindow::CodeEntered);

    m_articles = new registers::ui::ArticlePicker(m_host, this);
    m_articles->SetOrder(ArticleOrder());
    connect(m_articles, &registers::ui::ArticlePicker::chosen, this, [this](int code) {
        if (code != 0) {
            m_code->setText(QString::number(code));
            m_quantity->setFocus();
        }
    });

    m_quantity = new zodra::ui::NumberBox(prompter, this);
    m_quantity->setObjectName(QStringLiteral("Kolicina"));
    m_quantity->SetLimit(limits::NumberKind::Quantity, QStringLiteral("Količina"));
    m_quantity->SetValue(1);
    zodra::ui::KeepEnter(m_quantity);
    connect(m_quantity, &QLineEdit::returnPressed, this, &PosKasaWindow::QuantityEntered);

    m_discountOn = new QCheckBox(QStringLiteral(" Popust"), this);
    m_discountOn->setObjectName(QStringLiteral("Popust"));
    m_discount = new zodra::ui::NumberBox(prompter, this);
    m_discount->setObjectName(QStringLiteral("PopustPostotak"));
    m_discount->SetLimit(limits::NumberKind::Discount, QStringLiteral("Popust"));
    m_discount->SetValue(0);
    m_discount->setEnabled(false);
    zodra::ui::KeepEnter(m_discount);
    connect(m_discountOn, &QCheckBox::toggled, m_discount, &QWidget::setEnabled);
    connect(m_discount, &QLineEdit::returnPressed, this, &PosKasaWindow::AddChosenArticle);

    m_print = new QCheckBox(QStringLiteral(" Ispis"), this);
    m_print->setObjectName(QStringLiteral("Ispis"));
    m_print->setChecked(session.workstation.posPrinter);

    m_customer = new QComboBox(this);
    m_customer->setObjectName(QStringLiteral("Kupac"));
    connect(m_customer, &QComboBox::currentIndexChanged, this, [this] {
        if (m_customer->currentData().isValid()) {
            m_sale.draft.customer = m_customer->currentData().toInt();
        }
    });
    m_terms = new QComboBox(this);
    m_terms->setObjectName(QStringLiteral("UvjetiProdaje"));
    connect(m_terms, &QComboBox::currentIndexChanged, this, [this] {
        if (m_terms->currentData().isValid()) {
            m_sale.draft.salesTerms = m_terms->currentData().toInt();
        }
    });
    m_transfer = new QComboBox(this);
    m_transfer->setObjectName(QStringLiteral("SkladisteMeduskladisnice"));
    connect(m_transfer, &QComboBox::currentIndexChanged, this, [this] {
        m_sale.transferWarehouse.reset();
        if (m_transfer->currentData().isValid()) {
            m_sale.transferWarehouse = m_transfer->currentData().toInt();
        }
    });
    m_lot = new QLineEdit(this);
    m_lot->setObjectName(QStringLiteral("Primka"));

    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Stavke"));
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("IznosRacuna"));
    QFont big = m_total->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    m_total->setFont(big);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The number and the date may be set by the cashier; each is checked when it is left.
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("BrojRacuna"));
    connect(m_number, &QLineEdit::editingFinished, this, &PosKasaWindow::NumberLeft);
    m_date = new zodra::ui::DateBox(prompter, this);
    m_date->setObjectName(QStringLiteral("Datum"));
    m_date->SetSundayWarning(true);
    m_date->SetBusinessYear(session.businessYear);
    m_date->SetDate(m_sale.draft.date);
    connect(m_date, &zodra::ui::DateBox::dateEdited, this,
            [this](const QDate& date) { m_sale.draft.date = date; });
    m_lastLine = new QLabel(this);
    m_lastLine->setObjectName(QStringLiteral("ZadnjaStavka"));
    m_help = new QLabel(this);
    m_help->setObjectName(QStringLiteral("Pomoc"));
    m_orderLabel = new QLabel(this);
    m_drawer = zodra::ui::MakeButton(QStringLiteral("Ladica F11"), QStringLiteral("Ladica"), this);
    m_drawer->setFocusPolicy(Qt::NoFocus);
    connect(m_drawer, &QPushButton::clicked, this, &PosKasaWindow::OpenDrawer);
    m_post =
        zodra::ui::MakeButton(QStringLiteral("Proknjiži  F12"), QStringLiteral("Proknjizi"), this);
    m_post->setFocusPolicy(Qt::NoFocus);
    connect(m_post, &QPushButton::clicked, this, &PosKasaWindow::PostAndPay);

    m_entryLayout = new QGridLayout;
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Iznos računa"), this));
    right->addWidget(m_total);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("Broj računa :"), this), 0, 0);
    numbers->addWidget(m_number, 0, 1);
    numbers->addWidget(new QLabel(QStringLiteral("Datum :"), this), 1, 0);
    numbers->addWidget(m_date, 1, 1);
    right->addLayout(numbers);
    right->addStretch();
    right->addWidget(m_drawer);
    right->addWidget(m_post);
    auto* top = new QHBoxLayout;
    top->addLayout(m_entryLayout, 1);
    top->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_lastLine);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_help);
}

void PosKasaWindow::FillChoices() {
    const QSignalBlocker customers(m_customer);
    const QSignalBlocker terms(m_terms);
    const QSignalBlocker transfers(m_transfer);
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Database& db = m_host.CurrentSession().Db();
        for (const auto& c : sales::Customers(db)) {
            m_customer->addItem(c.name, c.code);
        }
        for (const auto& t : sales::SalesTermsList(db)) {
            m_terms->addItem(t.name, t.code);
        }
        m_transfer->addItem(QString(), QVariant());
        const int own = m_sale.draft.warehouse;
        for (const auto& w : registers::Choices(db, QStringLiteral("SKLADISTA"))) {
            if (w.code != own) {
                m_transfer->addItem(w.name, w.code);
            }
        }
    });
    m_customer->setCurrentIndex(m_customer->findData(m_sale.draft.customer.value_or(0)));
    m_terms->setCurrentIndex(m_terms->findData(1));
    m_sale.draft.salesTerms = 1;
}

void PosKasaWindow::ApplyLayout(int layout) {
    m_layout = layout;
    for (QWidget* label : m_labels) {
        delete label;
    }
    m_labels.clear();
    QList<QWidget*> fields{m_barcode, m_code,     m_articles, m_quantity, m_discountOn, m_discount,
                           m_print,   m_customer, m_terms,    m_transfer, m_lot};
    for (QWidget* field : fields) {
        m_entryLayout->removeWidget(field);
    }
    m_entryLayout->removeWidget(m_orderLabel);
    struct Place {
        QString caption;
        QWidget* field;
        int span;
    };
    const Place barcode{QStringLiteral("&Barkod"), m_barcode, 3};
    const Place code{QStringLiteral("Šif&ra"), m_code, 1};
    const Place article{QStringLiteral("&Artikal"), m_articles, 3};
    const Place quantity{QStringLiteral("Koli&čina"), m_quantity, 1};
    const Place discount{QString(), m_discountOn, 1};
    const Place percent{QString(), m_discount, 1};
    const Place print{QString(), m_print, 1};
    const Place customer{QStringLiteral("K&upac"), m_customer, 3};
    const Place terms{QStringLiteral("Uv&jeti prodaje"), m_terms, 1};
    const Place transfer{QStringLiteral("Međus&kladišnica iz"), m_transfer, 1};
    const Place lot{QStringLiteral("Pri&mka"), m_lot, 1};
    std::vector<std::vector<Place>> rows;
    switch (layout) {
        case 2:  // search first
            rows = {{code, article},
                    {quantity, discount, percent, print},
                    {barcode},
                    {customer, terms},
                    {transfer, lot}};
            break;
        case 3:  // quantity, then the barcode
            rows = {{quantity, barcode},
                    {discount, percent, print},
                    {code, article},
                    {customer, terms},
                    {transfer, lot}};
            break;
        default:  // the scanner first
            rows = {{barcode, quantity},
                    {discount, percent, print},
                    {code, article},
                    {customer, terms},
                    {transfer, lot}};
            break;
    }
    QFont normal = font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.6);
    for (QWidget* field : fields) {
        field->setFont(normal);
    }
    if (layout == 3) {
        m_quantity->setFont(large);
        m_barcode->setFont(large);
    } else if (layout == 1) {
        m_barcode->setFont(large);
    } else {
        m_articles->setFont(large);
        m_code->setFont(large);
    }
    QWidget* previous = nullptr;
    int r = 0;
    for (const auto& row : rows) {
        int c = 0;
        for (const Place& place : row) {
            if (!place.caption.isEmpty()) {
                QLabel* label = FieldLabel(place.caption, place.field, this);
                m_labels.append(label);
                m_entryLayout->addWidget(label, r, c++);
            }
            m_entryLayout->addWidget(place.field, r, c, 1, place.span);
            c += place.span;
            if (previous && place.field != m_articles) {
                setTabOrder(previous, place.field);
            } else if (previous) {
                setTabOrder(previous, m_articles->SearchField());
                setTabOrder(m_articles->SearchField(), m_articles->Box());
            }
            previous = place.field == m_articles ? m_articles->Box() : place.field;
        }
        ++r;
    }
    m_entryLayout->addWidget(m_orderLabel, r, 0, 1, 6);
    m_orderLabel->setText(QStringLiteral("Artikli ") + ArticleOrder() +
                          QStringLiteral("  (Pause/Break mijenja redoslijed)"));
    const bool lots = m_host.CurrentSession().company.lotChoiceInRegister;
    m_lot->setVisible(lots);
    for (QWidget* label : m_labels) {
        if (static_cast<QLabel*>(label)->buddy() == m_lot) {
            label->setVisible(lots);
        }
    }
}

void PosKasaWindow::SetEntry(Entry entry) {
    m_entry = entry;
    m_code->setText(QStringLiteral("0"));
    m_barcode->clear();
    switch (entry) {
        case Entry::BarcodeAndQuantity:
            ApplyLayout(3);
            m_quantity->SetValue(1);
            m_quantity->setFocus();
            m_quantity->selectAll();
            break;
        case Entry::Barcode:
            ApplyLayout(1);
            m_barcode->setFocus();
            break;
        case Entry::Search:
            ApplyLayout(2);
            m_articles->SearchField()->setFocus();
            break;
    }
}

void PosKasaWindow::Refresh() {
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        TableData lines = sales::InvoiceLinesGrid(session.Db(), {m_sale.draft.sessionCode, {}});
        // The total is the grid's own "Ukupno" column summed line by line to the cent (as the
        // working copy's totals are), so a scan costs one read of the lines.
        MoneyTotal total;
        for (int row = 0; row < lines.RowCount(); ++row) {
            total += lines.Value(row, kTotalColumn).toDouble();
        }
        const int rows = lines.RowCount();
        m_grid->SetData(std::move(lines));
        if (rows > 0) {
            m_grid->SelectRow(rows - 1);
        }
        m_total->setText(DisplayAmount(total.Value()));
        // The terms price the lines: they change only on an empty sale.
        m_terms->setEnabled(rows == 0);
        if (m_number->text().isEmpty()) {
            m_number->setText(QString::number(ProposedRetailNumber(session, m_sale)));
        }
    });
}

void PosKasaWindow::NumberLeft() {
    if (m_checkingNumber || !m_number->isModified()) {
        return;
    }
    m_checkingNumber = true;
    m_number->setModified(false);
    const bool ok = zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_number->setText(
            QString::number(CheckRetailNumber(m_host.CurrentSession(), m_sale, m_number->text())));
    });
    if (!ok) {
        // Refused: the register's own proposal again.
        m_number->clear();
        Refresh();
    }
    m_checkingNumber = false;
}

void PosKasaWindow::Display(const QString& line1, const QString& line2) {
    const QString error =
        pos::ShowOnCustomerDisplay(m_host.CurrentSession().workstation, line1, line2);
    if (!error.isEmpty()) {
        m_host.SetStatusText(QLatin1Char(' ') + error);
    }
}

void PosKasaWindow::ShowLine(const RegisterLineResult& result) {
    for (const QString& message : result.messages) {
        m_host.UserPrompter().Inform(message, QStringLiteral("POS Kasa"));
    }
    m_lastLine->setText(result.displayName + QStringLiteral("   ") + result.displayAmounts);
    Display(result.displayName, result.displayAmounts);
    m_barcode->clear();
    m_code->setText(QStringLiteral("0"));
    m_quantity->SetValue(1);
    m_discount->SetValue(0);
    Refresh();
}

void PosKasaWindow::BarcodeEntered() {
    const QString barcode = m_barcode->text().trimmed();
    if (barcode.isEmpty()) {
        return;
    }
    double quantity = 1;
    if (m_entry == Entry::BarcodeAndQuantity) {
        if (!m_quantity->Commit()) {
            return;
        }
        quantity = m_quantity->Value();
    }
    const double discount = m_discountOn->isChecked() ? m_discount->Value() : 0;
    std::optional<RegisterLineResult> result;
    try {
        result = ScanBarcode(m_host.CurrentSession(), m_sale, barcode, quantity, discount);
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message(), QStringLiteral("POS Kasa"));
    } catch (const DbError& e) {
        m_host.UserPrompter().Inform(
            AddFailedMessage() + QLatin1Char('\n') + zodra::ui::DatabaseErrorText(e.driverText()),
            QStringLiteral("POS Kasa"));
    }
    if (!result) {
        // The text stays for the cashier to see; the next scan replaces it.
        m_barcode->setFocus();
        m_barcode->selectAll();
        return;
    }
    ShowLine(*result);
    if (m_entry == Entry::BarcodeAndQuantity) {
        m_quantity->setFocus();
    } else {
        m_barcode->setFocus();
    }
}

void PosKasaWindow::CodeEntered() {
    bool ok = false;
    const int code = m_code->text().trimmed().toInt(&ok);
    if (!ok || code == 0) {
        m_articles->SearchField()->setFocus();
        return;
    }
    const bool found = zodra::ui::Guarded(
        m_host.UserPrompter(), [&] { ArticleByCode(m_host.CurrentSession().Db(), code); });
    if (!found) {
        m_code->setFocus();
        m_code->selectAll();
        return;
    }
    m_articles->SetCode(code);
    m_quantity->setFocus();
}

void PosKasaWindow::QuantityEntered() {
    if (!m_quantity->Commit()) {
        return;
    }
    if (m_entry == Entry::BarcodeAndQuantity) {
        // Selected at once: the scanner's keys may come before a deferred selection would.
        m_barcode->setFocus();
        m_barcode->selectAll();
        return;
    }
    if (m_discountOn->isChecked()) {
        m_discount->setFocus();
        return;
    }
    AddChosenArticle();
}

void PosKasaWindow::AddChosenArticle() {
    if (m_entry == Entry::BarcodeAndQuantity || m_entry == Entry::Barcode) {
        if (!m_barcode->text().trimmed().isEmpty()) {
            BarcodeEntered();
            return;
        }
    }
    if (!m_quantity->Commit() || (m_discountOn->isChecked() && !m_discount->Commit())) {
        return;
    }
    RegisterLineInput input;
    bool ok = false;
    const int typed = m_code->text().trimmed().toInt(&ok);
    input.article = ok && typed != 0 ? typed : m_articles->Code();
    input.quantity = m_quantity->Value();
    input.discount = m_discountOn->isChecked() ? m_discount->Value() : 0;
    if (m_lot->isVisible() && !m_lot->text().trimmed().isEmpty()) {
        const int lot = m_lot->text().trimmed().toInt(&ok);
        if (!ok) {
            m_host.UserPrompter().Inform(QStringLiteral("Nije ispravno upisan broj !"),
                                         QStringLiteral("POS Kasa"));
            m_lot->setFocus();
            return;
        }
        input.lot = lot;
    }
    if (input.article == 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Artikal sa ovom šifrom nije upisan."),
                                     QStringLiteral("POS Kasa"));
        m_code->setFocus();
        return;
    }
    std::optional<RegisterLineResult> result;
    try {
        Session& session = m_host.CurrentSession();
        ArticleByCode(session.Db(), input.article);
        result = AddRegisterLine(session, m_sale, input);
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message(), QStringLiteral("POS Kasa"));
    } catch (const DbError& e) {
        m_host.UserPrompter().Inform(
            AddFailedMessage() + QLatin1Char('\n') + zodra::ui::DatabaseErrorText(e.driverText()),
            QStringLiteral("POS Kasa"));
    }
    if (!result) {
        m_code->setFocus();
        return;
    }
    ShowLine(*result);
    if (m_entry == Entry::Search) {
        m_articles->SearchField()->setFocus();
    } else {
        m_code->setFocus();
    }
}

void PosKasaWindow::DeleteLine() {
    const int row = m_grid->CurrentRow();
    if (row < 0 || row >= m_grid->Data().RowCount()) {
        return;
    }
    const int lineNumber = m_grid->Data().Value(row, 0).toInt();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            DeleteRegisterLine(m_host.CurrentSession(), m_sale, lineNumber);
        })) {
        Refresh();
    }
}

void PosKasaWindow::PostAndPay() {
    Session& session = m_host.CurrentSession();
    // F12 may come while a box is still being typed in.
    if (m_number->hasFocus()) {
        NumberLeft();
    }
    if (m_date->hasFocus() && m_date->Commit()) {
        m_sale.draft.date = m_date->Date();
    }
    std::optional<PostedRetailSale> posted;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            posted = PostRetailSale(session, m_sale, m_number->text().toInt());
        })) {
        Refresh();  // the lines stay for another try
        return;
    }
    if (!posted) {
        return;  // no lines
    }
    if (posted->numberChanged) {
        m_host.UserPrompter().Inform(sales::PostedMessage(posted->number),
                                     QStringLiteral("POS Kasa"));
    }
    Display(QStringLiteral("Za platiti:"),
            DisplayMoney(posted->total, pos::ReceiptCurrency(session)));
    if (session.company.paymentDialogAfterRetailInvoice) {
        RetailPaymentInput invoice;
        invoice.warehouse = m_sale.draft.warehouse;
        invoice.book = kRetailBook;
        invoice.year = m_sale.draft.year;
        invoice.number = posted->number;
        invoice.date = m_sale.draft.date;
        invoice.customer = m_sale.draft.customer.value_or(0);
        invoice.total = posted->total;
        invoice.detailed = posted->detailed;
        PaymentDialog payment(m_host, invoice, posted->total, this);
        payment.exec();
    }
    zodra::ui::Guarded(m_host.UserPrompter(),
                       [&] { RetailSaleFinished(session, m_sale, *posted); });
    if (m_print->isChecked()) {
        const QString error = pos::PrintReceipt(
            session, {m_sale.draft.warehouse, kRetailBook, m_sale.draft.year, posted->number},
            true);
        if (!error.isEmpty()) {
            m_host.UserPrompter().Inform(error, QStringLiteral("POS Kasa"));
        }
    }
    ResetForNextCustomer();
}

void PosKasaWindow::ResetForNextCustomer() {
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_sale.draft.customer = RetailCustomer(m_host.CurrentSession().Db());
    });
    m_sale.draft.salesTerms = 1;
    m_customer->setCurrentIndex(m_customer->findData(m_sale.draft.customer.value_or(0)));
    m_terms->setCurrentIndex(m_terms->findData(1));
    m_number->clear();
    m_lastLine->clear();
    m_barcode->clear();
    m_code->setText(QStringLiteral("0"));
    m_quantity->SetValue(1);
    m_discount->SetValue(0);
    Refresh();
    Display(QStringLiteral("Dobro došli"), QStringLiteral("Welcome"));
    SetEntry(m_entry);
}

void PosKasaWindow::LogOff() {
    if (!m_hooks.logIn) {
        return;
    }
    if (m_grid->Data().RowCount() > 0) {
        m_host.UserPrompter().Inform(
            QStringLiteral("Račun nije završen. Proknjižite ga ili izbrišite stavke prije odjave."),
            QStringLiteral("POS Kasa"));
        return;
    }
    const QString user = m_hooks.logIn(m_host, this);
    if (user.isEmpty()) {
        // Nobody logged in: the register closes, the program goes on.
        zodra::ui::CloseWindowFrame(this);
        return;
    }
    CashierRights rights;
    if (m_hooks.rightsOf) {
        rights = m_hooks.rightsOf(m_host.CurrentSession().Db(), user);
    }
    if (!rights.useRegister) {
        m_host.UserPrompter().Inform(NoRegisterRightMessage(user), QStringLiteral("POS Kasa"));
        zodra::ui::CloseWindowFrame(this);
        return;
    }
    m_cashier = user;
    m_sale.cashier = user;
    m_rights = rights;
    setWindowTitle(Caption());
    m_help->setText(HelpText());
    SetEntry(m_entry);
}

void PosKasaWindow::OpenDrawer() {
    const QString error = pos::OpenCashDrawer(m_host.CurrentSession().workstation);
    if (!error.isEmpty()) {
        m_host.UserPrompter().Inform(error, QStringLiteral("POS Kasa"));
    }
}

void PosKasaWindow::OpenAnotherRegister() {
    if (!m_host.CurrentSession().workstation.posMultiWindow) {
        return;
    }
    // The same cashier at a second register of this workstation: a sale of its own under its
    // own session code, so this customer waits with their lines while the next one is served.
    auto* other = new PosKasaWindow(m_host, m_hooks, m_cashier, m_rights);
    m_host.ShowWindow(other, other->Caption());
}

void PosKasaWindow::SwitchArticleOrder() {
    m_order = (m_order + 1) % ArticleOrders().size();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] { m_articles->SetOrder(ArticleOrder()); });
    m_orderLabel->setText(QStringLiteral("Artikli ") + ArticleOrder() +
                          QStringLiteral("  (Pause/Break mijenja redoslijed)"));
}

void PosKasaWindow::CloseSale() {
    if (!m_saleOpen) {
        return;
    }
    m_saleOpen = false;
    Session& session = m_host.CurrentSession();
    if (session.IsOpen()) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] { CloseTillSale(session, m_sale); });
    }
}

void PosKasaWindow::closeEvent(QCloseEvent* event) {
    CloseSale();
    QWidget::closeEvent(event);
}

bool PosKasaWindow::HandleKey(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            LogOff();
            return true;
        case Qt::Key_Escape:
            focusNextPrevChild(false);
            return true;
        case Qt::Key_F2: {
            ControlTapeDialog tape(m_host, this);
            tape.exec();
            return true;
        }
        case Qt::Key_F3: {
            ReceiptRangeDialog range(m_host, this);
            range.exec();
            return true;
        }
        case Qt::Key_F4:
            SetEntry(Entry::BarcodeAndQuantity);
            return true;
        case Qt::Key_F5:
            SetEntry(Entry::Barcode);
            return true;
        case Qt::Key_F6:
            SetEntry(Entry::Search);
            return true;
        case Qt::Key_F7: {
            Session& session = m_host.CurrentSession();
            sales::ui::ServiceLineDialog dialog(
                m_host, m_sale.draft,
                [this, &session](const sales::ServiceLineInput& input,
                                 const std::vector<int>& employees) {
                    return sales::AddServiceLine(session, m_host.UserPrompter(), m_sale.draft,
                                                 input, employees);
                },
                this);
            dialog.exec();
            Refresh();
            return true;
        }
        case Qt::Key_Home:
            if (m_hooks.compositeProducts) {
                if (const auto added = m_hooks.compositeProducts(m_host, m_sale, this)) {
                    ShowLine(*added);
                }
                SetEntry(m_entry);
            } else {
                m_host.UserPrompter().Inform(
                    QStringLiteral("Unos složenih proizvoda još nije dostupan u ovoj verziji."),
                    QStringLiteral("POS Kasa"));
            }
            return true;
        case Qt::Key_F8:
            DeleteLine();
            return true;
        case Qt::Key_F9:
        case Qt::Key_F10: {
            if (!m_rights.reports) {
                return true;  // the report keys do nothing for this cashier
            }
            const auto& report = key == Qt::Key_F9 ? m_hooks.xReport : m_hooks.zReport;
            if (report) {
                report(m_host, m_cashier);
            } else {
                m_host.UserPrompter().Inform(
                    QStringLiteral("Ovaj izvještaj još nije dostupan u ovoj verziji."),
                    QStringLiteral("POS Kasa"));
            }
            return true;
        }
        case Qt::Key_F11:
            OpenDrawer();
            return true;
        case Qt::Key_F12:
            PostAndPay();
            return true;
        case Qt::Key_Pause:
            SwitchArticleOrder();
            return true;
        case Qt::Key_Insert:
            OpenAnotherRegister();
            return true;
        default:
            return false;
    }
}

bool PosKasaWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier) || !IsWindowKey(key->key())) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        event->accept();  // the window's own keys win over any shortcut
        return true;
    }
    if (key->key() == Qt::Key_Escape && widget->window() != window()) {
        return false;
    }
    HandleKey(key->key());
    return true;
}

}  // namespace zodra::retail::ui
