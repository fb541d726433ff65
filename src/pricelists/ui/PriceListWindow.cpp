#include "pricelists/ui/PriceListWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "pricelists/PriceLists.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "registers/ui/ArticlePicker.h"
#include "registers/ui/RefillingComboBox.h"
#include "registers/ui/RegisterListWindow.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::pricelists::ui {

namespace {

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

PriceListWindow::PriceListWindow(zodra::ui::WindowHost& host,
                                 const zodra::ui::CommandRegistry* registry, QWidget* parent)
    : QWidget(parent), m_host(host), m_registry(registry) {
    setObjectName(QStringLiteral("Cjenici_upis"));
    setWindowTitle(QStringLiteral("Cjenici"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Cjenik :"), this));
    m_lists = new registers::ui::RefillingComboBox([this] { FillLists(CurrentList()); }, this);
    m_lists->setObjectName(QStringLiteral("Cjenik"));
    m_lists->setMinimumContentsLength(30);
    top->addWidget(m_lists, 1);
    auto* registerButton = Button(QStringLiteral("Cjenici..."), QStringLiteral("Sifarnik"), this);
    auto* copy = Button(QStringLiteral("Kopiraj cjenik"), QStringLiteral("Kopiraj"), this);
    top->addWidget(registerButton);
    top->addWidget(copy);
    layout->addLayout(top);

    auto* pricesBox = new QGroupBox(QStringLiteral("Cijene"), this);
    auto* pricesLayout = new QVBoxLayout(pricesBox);
    auto* priceForm = new QFormLayout;
    m_article = new registers::ui::ArticlePicker(host, pricesBox);
    priceForm->addRow(QStringLiteral("Artikal :"), m_article);
    m_currency = new QComboBox(pricesBox);
    m_currency->setObjectName(QStringLiteral("Valuta"));
    priceForm->addRow(QStringLiteral("Valuta :"), m_currency);
    auto* pair = new QHBoxLayout;
    m_net = new zodra::ui::NumberBox(host.UserPrompter(), pricesBox);
    m_net->setObjectName(QStringLiteral("CijenaBezPoreza"));
    m_withTax = new zodra::ui::NumberBox(host.UserPrompter(), pricesBox);
    m_withTax->setObjectName(QStringLiteral("CijenaSPorezom"));
    pair->addWidget(m_net);
    pair->addWidget(new QLabel(QStringLiteral("s porezom :"), pricesBox));
    pair->addWidget(m_withTax);
    auto* addPrice =
        Button(QStringLiteral("Dodaj cijenu"), QStringLiteral("DodajCijenu"), pricesBox);
    pair->addWidget(addPrice);
    priceForm->addRow(QStringLiteral("Cijena bez poreza :"), pair);
    pricesLayout->addLayout(priceForm);
    m_prices = new zodra::ui::DataGrid(pricesBox);
    m_prices->SetSortable(true);
    m_prices->setObjectName(QStringLiteral("Cijene"));
    pricesLayout->addWidget(m_prices, 1);
    auto* deletePrice =
        Button(QStringLiteral("Izbriši cijenu"), QStringLiteral("IzbrisiCijenu"), pricesBox);
    pricesLayout->addWidget(deletePrice, 0, Qt::AlignRight);
    layout->addWidget(pricesBox, 3);

    auto* discountsBox = new QGroupBox(QStringLiteral("Rabati po grupama artikala"), this);
    auto* discountsLayout = new QVBoxLayout(discountsBox);
    auto* discountRow = new QHBoxLayout;
    discountRow->addWidget(new QLabel(QStringLiteral("Grupa artikala :"), discountsBox));
    m_group = new QComboBox(discountsBox);
    m_group->setObjectName(QStringLiteral("GrupaArtikala"));
    discountRow->addWidget(m_group, 1);
    discountRow->addWidget(new QLabel(QStringLiteral("Rabat % :"), discountsBox));
    m_discount = new zodra::ui::NumberBox(host.UserPrompter(), discountsBox);
    m_discount->setObjectName(QStringLiteral("Rabat"));
    m_discount->setMaximumWidth(80);
    discountRow->addWidget(m_discount);
    m_fromArticles = new QCheckBox(QStringLiteral("Cijene iz artikala"), discountsBox);
    m_fromArticles->setObjectName(QStringLiteral("CijenaValuta"));
    discountRow->addWidget(m_fromArticles);
    auto* addDiscount =
        Button(QStringLiteral("Dodaj rabat"), QStringLiteral("DodajRabat"), discountsBox);
    discountRow->addWidget(addDiscount);
    discountsLayout->addLayout(discountRow);
    m_discounts = new zodra::ui::DataGrid(discountsBox);
    m_discounts->SetSortable(true);
    m_discounts->setObjectName(QStringLiteral("Rabati"));
    discountsLayout->addWidget(m_discounts, 1);
    auto* deleteDiscount =
        Button(QStringLiteral("Izbriši rabat"), QStringLiteral("IzbrisiRabat"), discountsBox);
    discountsLayout->addWidget(deleteDiscount, 0, Qt::AlignRight);
    layout->addWidget(discountsBox, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    auto* closeButton = Button(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), this);
    bottom->addWidget(closeButton);
    layout->addLayout(bottom);

    connect(m_lists, &QComboBox::activated, this, [this] { ShowList(); });
    connect(registerButton, &QPushButton::clicked, this,
            [this] { registers::ui::ShowRegisterList(m_host, Register(), m_registry); });
    connect(copy, &QPushButton::clicked, this, &PriceListWindow::CopyList);
    connect(m_net, &QLineEdit::editingFinished, this, &PriceListWindow::NetLeft);
    connect(m_withTax, &QLineEdit::editingFinished, this, &PriceListWindow::WithTaxLeft);
    connect(m_article, &registers::ui::ArticlePicker::chosen, this, [this] { NetLeft(); });
    connect(addPrice, &QPushButton::clicked, this, &PriceListWindow::AddPrice);
    connect(deletePrice, &QPushButton::clicked, this, &PriceListWindow::DeletePrice);
    connect(addDiscount, &QPushButton::clicked, this, &PriceListWindow::AddDiscount);
    connect(deleteDiscount, &QPushButton::clicked, this, &PriceListWindow::DeleteDiscount);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            close();
        }
    });
    resize(820, 640);
    FillChoices();
    FillLists(0);
}

void PriceListWindow::FillChoices() {
    Database& db = m_host.CurrentSession().Db();
    m_currency->clear();
    m_currency->addItem(QString(), QVariant());
    m_group->clear();
    m_group->addItem(QString(), QVariant());
    m_group->addItem(QStringLiteral("Sve grupe"), kAllGroups);
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const auto& row : registers::List(db, registers::catalogue::Currencies())) {
            m_currency->addItem(row.name, row.code);
        }
        for (const auto& row : registers::List(db, registers::catalogue::ArticleGroups())) {
            m_group->addItem(row.name, row.code);
        }
    });
    m_currency->setCurrentIndex(m_currency->findData(1));
}

void PriceListWindow::FillLists(int select) {
    m_lists->clear();
    m_lists->addItem(QString(), QVariant());
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const auto& row : registers::List(m_host.CurrentSession().Db(), Register())) {
            m_lists->addItem(row.name, row.code);
        }
    });
    if (!SelectList(select)) {
        m_lists->setCurrentIndex(m_lists->count() > 1 ? 1 : 0);
    }
    ShowList();
}

int PriceListWindow::CurrentList() const {
    const QVariant code = m_lists->currentData();
    return code.isValid() ? code.toInt() : 0;
}

bool PriceListWindow::SelectList(int code) {
    const int index = code == 0 ? -1 : m_lists->findData(code);
    if (index < 0) {
        return false;
    }
    m_lists->setCurrentIndex(index);
    return true;
}

void PriceListWindow::ShowList() {
    const int list = CurrentList();
    TableData prices;
    prices.columns = {
        TableColumn{QStringLiteral("Artikal")},
        TableColumn{QStringLiteral("Šifra")},
        TableColumn{QStringLiteral("Cijena bez poreza"), TableColumn::Format::Money},
        TableColumn{QStringLiteral("Cijena s porezom"), TableColumn::Format::Money},
        TableColumn{QStringLiteral("Valuta")},
        TableColumn{QStringLiteral("SIFRA_ARTIKLA"), TableColumn::Format::Integer, -1, true}};
    TableData discounts;
    discounts.columns = {
        TableColumn{QStringLiteral("Grupa artikala")},
        TableColumn{QStringLiteral("Rabat"), TableColumn::Format::Number, 2},
        TableColumn{QStringLiteral("Cijene iz artikala")},
        TableColumn{QStringLiteral("SIFRA_GRUPE"), TableColumn::Format::Integer, -1, true}};
    if (list != 0) {
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            Database& db = m_host.CurrentSession().Db();
            for (const PriceRow& row : Prices(db, list)) {
                prices.rows.push_back({row.articleName, row.articleCode, row.net, row.withTax,
                                       row.currencyName, row.article});
            }
            for (const DiscountRow& row : Discounts(db, list)) {
                discounts.rows.push_back(
                    {row.groupName, row.discount,
                     row.pricesFromArticles ? QStringLiteral("DA") : QStringLiteral("NE"),
                     row.group});
            }
        });
    }
    m_prices->SetData(std::move(prices));
    m_discounts->SetData(std::move(discounts));
}

double PriceListWindow::TaxRate() const {
    const int article = m_article->Code();
    double rate = 0;
    if (article != 0) {
        zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] { rate = ArticleTaxRate(m_host.CurrentSession().Db(), article); });
    }
    return rate;
}

void PriceListWindow::NetLeft() {
    m_withTax->SetValue(WithTax(m_net->Value(), TaxRate()));
}

void PriceListWindow::WithTaxLeft() {
    m_net->SetValue(WithoutTax(m_withTax->Value(), TaxRate()));
}

void PriceListWindow::AddPrice() {
    const QVariant currency = m_currency->currentData();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            SetPrice(m_host.CurrentSession().Db(), CurrentList(), m_article->Code(),
                     currency.isValid() ? currency.toInt() : 0, m_net->Value());
        })) {
        ShowList();
    }
}

void PriceListWindow::DeletePrice() {
    const int row = m_prices->CurrentRow();
    if (row < 0) {
        return;
    }
    const int article = m_prices->Data().Value(row, 5).toInt();
    bool deleted = false;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] {
                               deleted = pricelists::DeletePrice(m_host.CurrentSession().Db(),
                                                                 CurrentList(), article,
                                                                 m_host.UserPrompter());
                           }) &&
        deleted) {
        ShowList();
    }
}

void PriceListWindow::AddDiscount() {
    const QVariant group = m_group->currentData();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            SetDiscount(m_host.CurrentSession().Db(), CurrentList(),
                        group.isValid() ? std::optional<int>(group.toInt()) : std::nullopt,
                        m_discount->Value(), m_fromArticles->isChecked());
        })) {
        ShowList();
    }
}

void PriceListWindow::DeleteDiscount() {
    const int row = m_discounts->CurrentRow();
    if (row < 0) {
        return;
    }
    const int group = m_discounts->Data().Value(row, 3).toInt();
    bool deleted = false;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] {
                               deleted = pricelists::DeleteDiscount(m_host.CurrentSession().Db(),
                                                                    CurrentList(), group,
                                                                    m_host.UserPrompter());
                           }) &&
        deleted) {
        ShowList();
    }
}

void PriceListWindow::CopyList() {
    registers::SavedRow copy;
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            copy = Copy(m_host.CurrentSession().Db(), CurrentList(), m_host.UserPrompter());
        })) {
        FillLists(copy.code);
    }
}

}  // namespace zodra::pricelists::ui
