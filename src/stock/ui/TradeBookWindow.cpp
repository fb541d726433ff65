#include "stock/ui/TradeBookWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "reports/ReportRange.h"
#include "reports/ui/ReportPrinting.h"
#include "stock/ui/DirectEntryDialog.h"
#include "stock/ui/TradeBookPrinting.h"
#include "ui/DialogButtonRow.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::stock::ui {

using tradebook::Book;

namespace {

struct Column {
    QString heading;
    bool amount;
};

std::vector<Column> Columns(Book book) {
    std::vector<Column> columns{
        {QStringLiteral("Rbr"), false},      {QStringLiteral("Datum"), false},
        {QStringLiteral("Dokument"), false}, {QStringLiteral("Broj"), false},
        {QStringLiteral("Opis"), false},     {QStringLiteral("Nabava vr."), true}};
    if (book == Book::Retail) {
        columns.push_back({QStringLiteral("Nab. por."), true});
        columns.push_back({QStringLiteral("Nab. ukupno"), true});
    }
    columns.push_back({QStringLiteral("Prodaja vr."), true});
    columns.push_back({QStringLiteral("Prod. por."), true});
    columns.push_back({QStringLiteral("Prod. ukupno"), true});
    columns.push_back({QStringLiteral("Stanje robe"), true});
    return columns;
}

}  // namespace

TradeBookWindow::TradeBookWindow(zodra::ui::WindowHost& host, Book book, const QDate& today,
                                 QWidget* parent)
    : QWidget(parent), m_host(host), m_book(book), m_today(today) {
    setObjectName(CommandName(book));
    setWindowTitle(Caption(book));
    const int year = host.CurrentSession().businessYear;
    m_from = new QLineEdit(inputrules::FormatDate(reports::DefaultRangeFrom(year)), this);
    m_to = new QLineEdit(inputrules::FormatDate(reports::DefaultRangeTo(year, today)), this);
    auto* accept =
        new zodra::ui::DialogButtonRow(this, zodra::ui::DialogButtonRow::Buttons::AcceptOnly);
    connect(accept->AcceptButton(), &QPushButton::clicked, this, &TradeBookWindow::Accept);
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Od:"), this));
    range->addWidget(m_from);
    range->addWidget(new QLabel(QStringLiteral("Do:"), this));
    range->addWidget(m_to);
    range->addWidget(accept);
    range->addStretch();

    const std::vector<Column> columns = Columns(book);
    m_grid = new QTableWidget(0, static_cast<int>(columns.size()), this);
    QStringList headings;
    for (const Column& c : columns) {
        headings << c.heading;
    }
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    m_grid->installEventFilter(this);

    auto* add = new QPushButton(QStringLiteral("&Upis"), this);
    auto* remove = new QPushButton(QStringLiteral("&Brisanje"), this);
    auto* print = new QPushButton(QStringLiteral("&Izvještaj"), this);
    connect(add, &QPushButton::clicked, this, &TradeBookWindow::AddEntry);
    connect(remove, &QPushButton::clicked, this, &TradeBookWindow::DeleteSelected);
    connect(print, &QPushButton::clicked, this, &TradeBookWindow::Print);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    Accept();
}

QString TradeBookWindow::CommandName(Book book) {
    return book == Book::Retail ? QStringLiteral("Trgovacka_knjiga_maloprodaje")
                                : QStringLiteral("Trgovacka_knjiga_veleprodaje");
}

QString TradeBookWindow::Caption(Book book) {
    return book == Book::Retail ? QStringLiteral("Trgovačka knjiga maloprodaje")
                                : QStringLiteral("Trgovačka knjiga veleprodaje");
}

QString TradeBookWindow::FromInvalidMessage() {
    return QStringLiteral("Početni datum nije ispravno upisan.");
}

QString TradeBookWindow::ToInvalidMessage() {
    return QStringLiteral("Završni datum nije ispravno upisan.");
}

QString TradeBookWindow::DeleteQuestion() {
    return QStringLiteral("Želite li izbrisati stavku ?");
}

bool TradeBookWindow::ReadRange() {
    const std::optional<QDate> from = inputrules::ParseDate(m_from->text(), m_today);
    if (!from) {
        m_host.UserPrompter().Inform(FromInvalidMessage(), Caption(m_book));
        m_from->setFocus();
        return false;
    }
    const std::optional<QDate> to = inputrules::ParseDate(m_to->text(), m_today);
    if (!to) {
        m_host.UserPrompter().Inform(ToInvalidMessage(), Caption(m_book));
        m_to->setFocus();
        return false;
    }
    m_from->setText(inputrules::FormatDate(*from));
    m_to->setText(inputrules::FormatDate(*to));
    m_shownFrom = *from;
    m_shownTo = *to;
    return true;
}

void TradeBookWindow::Accept() {
    if (ReadRange()) {
        Fill();
    }
}

void TradeBookWindow::Fill() {
    const int selected = SelectedNumber();
    Session& session = m_host.CurrentSession();
    m_entries = tradebook::Entries(session.Db(), m_book, session.activeWarehouse.code,
                                   session.businessYear, m_shownFrom, m_shownTo);
    m_grid->setRowCount(static_cast<int>(m_entries.size()));
    static const QLocale hr(QLocale::Croatian, QLocale::Croatia);
    for (int r = 0; r < static_cast<int>(m_entries.size()); ++r) {
        const tradebook::StoredEntry& e = m_entries[static_cast<size_t>(r)];
        int column = 0;
        const auto set = [&](const QString& text, bool right) {
            auto* item = new QTableWidgetItem(text);
            if (right) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_grid->setItem(r, column++, item);
        };
        const auto money = [&](double value) { set(FixedNumberText(value, 2, hr), true); };
        set(QString::number(e.number), true);
        set(inputrules::FormatDate(e.entry.date), false);
        set(e.entry.type, false);
        set(QString::number(e.entry.documentNumber), true);
        set(e.entry.description, false);
        money(e.entry.purchaseValue);
        if (m_book == Book::Retail) {
            money(e.entry.purchaseTax);
            money(e.purchaseTotal);
        }
        money(e.entry.salesValue);
        money(e.entry.salesTax);
        money(e.salesTotal);
        money(e.balance);
    }
    SelectNumber(selected);
}

int TradeBookWindow::SelectedNumber() const {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size())) {
        return 0;
    }
    return m_entries[static_cast<size_t>(row)].number;
}

void TradeBookWindow::SelectNumber(int number) {
    for (int r = 0; r < static_cast<int>(m_entries.size()); ++r) {
        if (m_entries[static_cast<size_t>(r)].number == number) {
            m_grid->setCurrentCell(r, 0);
            return;
        }
    }
    if (!m_entries.empty()) {
        m_grid->setCurrentCell(static_cast<int>(m_entries.size()) - 1, 0);
    }
}

void TradeBookWindow::AddEntry() {
    DirectEntryDialog dialog(m_host.CurrentSession(), m_host.UserPrompter(), m_book,
                             m_host.DialogParent());
    if (dialog.exec() == QDialog::Accepted) {
        Fill();
        SelectNumber(dialog.AddedNumber());
    }
}

void TradeBookWindow::Print() {
    if (!ReadRange()) {
        return;
    }
    reports::ui::ShowReport(
        m_host, TradeBookReportRequest(m_host.CurrentSession(), m_book, m_shownFrom, m_shownTo));
}

void TradeBookWindow::DeleteSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Prompter& prompter = m_host.UserPrompter();
    if (!prompter.AskYesNo(DeleteQuestion(), Caption(m_book), false)) {
        return;
    }
    Session& session = m_host.CurrentSession();
    try {
        tradebook::DeleteEntryInWindow(session.Db(), m_book, session.activeWarehouse.code,
                                       session.businessYear, number);
    } catch (const UserError& e) {
        prompter.Inform(e.message(), Caption(m_book));
    } catch (const DbError& e) {
        prompter.Inform(e.driverText(), Caption(m_book));
    }
    Fill();
}

bool TradeBookWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zodra::stock::ui
