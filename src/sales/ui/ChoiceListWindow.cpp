#include "sales/ui/ChoiceListWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/InvoiceList.h"
#include "sales/ui/InvoiceListModel.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

using zodra::ui::Guarded;

QTableView* MakeChoiceList(const QString& name, InvoiceListModel* model, ChoiceListFit fit,
                           QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->setWordWrap(false);
    view->setModel(model);
    switch (fit) {
        case ChoiceListFit::ThirdColumnStretches:
            QObject::connect(model, &QAbstractItemModel::modelReset, view, [view, model] {
                if (model->columnCount() > 2) {
                    view->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
                }
            });
            break;
        case ChoiceListFit::CustomerStretches:
            QObject::connect(model, &QAbstractItemModel::modelReset, view, [view, model] {
                view->resizeColumnsToContents();
                for (int c = 0; c < model->columnCount(); ++c) {
                    if (model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() ==
                        QStringLiteral("Kupac")) {
                        view->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
                    }
                }
            });
            break;
        case ChoiceListFit::Unfitted:
            break;
    }
    return view;
}

ChoiceListWindow::ChoiceListWindow(zodra::ui::WindowHost& host, bool withBooks,
                                   const QString& listName, ChoiceListFit fit,
                                   ChoiceListSource source,
                                   const std::vector<ChoiceListButton>& buttons,
                                   std::function<void()> activate, QWidget* parent)
    : QWidget(parent), m_host(host), m_source(std::move(source)) {
    auto* layout = new QVBoxLayout(this);

    if (withBooks) {
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
    }

    m_model = new InvoiceListModel(this);
    m_grid = MakeChoiceList(listName, m_model, fit, this);
    layout->addWidget(m_grid, 1);
    m_details = new QLabel(this);
    m_details->setObjectName(QStringLiteral("Podaci"));
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_details);

    auto* row = new QHBoxLayout;
    for (const ChoiceListButton& button : buttons) {
        auto* b = zodra::ui::MakeButton(QString::fromUtf8(button.caption),
                                        QString::fromUtf8(button.name), this);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, button.run);
    }
    row->addStretch();
    row->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(row);

    connect(m_grid, &QAbstractItemView::activated, this, std::move(activate));
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ChoiceListWindow::ShowDetails);
    if (m_book) {
        connect(m_book, &QComboBox::currentIndexChanged, this, [this] { Reload(); });
    }
}

int ChoiceListWindow::Book() const {
    return m_book ? m_book->currentData().toInt() : 0;
}

void ChoiceListWindow::SetBook(int book) {
    const int index = m_book ? m_book->findData(book) : -1;
    if (index >= 0) {
        m_book->setCurrentIndex(index);
    }
}

void ChoiceListWindow::Reload() {
    const QVariant current = CurrentNumber();
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const int warehouse = session.activeWarehouse.code;
    const int year = session.businessYear;
    const int book = Book();
    const auto& page = m_source.page;
    m_model->Reset([&session, &prompter, &page, warehouse, book, year](std::optional<int> after,
                                                                       int limit) {
        TableData rows;
        Guarded(prompter, [&] { rows = page(session.Db(), warehouse, book, year, after, limit); });
        return rows;
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

QVariant ChoiceListWindow::CurrentNumber() const {
    const QModelIndex index = m_grid->currentIndex();
    return index.isValid() ? m_model->Key(index.row()) : QVariant();
}

void ChoiceListWindow::SelectNumber(int number) {
    const int row = m_model->RowOf(number);
    if (row >= 0) {
        m_grid->selectRow(row);
        m_grid->scrollTo(m_model->index(row, 0));
    }
}

void ChoiceListWindow::ShowDetails() {
    const QVariant number = CurrentNumber();
    QString text;
    if (number.isValid()) {
        Session& s = m_host.CurrentSession();
        Guarded(m_host.UserPrompter(), [&] {
            text = m_source.details(s.Db(), s.activeWarehouse.code, Book(), s.businessYear,
                                    number.toInt());
        });
    }
    m_details->setText(text);
}

}  // namespace zodra::sales::ui
