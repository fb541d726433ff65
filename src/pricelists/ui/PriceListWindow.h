#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace zodra::ui {
class CommandRegistry;
class DataGrid;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::pricelists::ui {

// "Cjenici": the chosen price list's net prices per article (with the price-with-tax pair) and
// its discounts per article group (with "Cijene iz artikala"), adding, replacing and deleting
// rows, and copying the whole list under a new name.
class PriceListWindow : public QWidget {
    Q_OBJECT
public:
    PriceListWindow(zodra::ui::WindowHost& host, const zodra::ui::CommandRegistry* registry,
                    QWidget* parent = nullptr);

    int CurrentList() const;
    bool SelectList(int code);
    void FillLists(int select);
    void AddPrice();
    void DeletePrice();
    void AddDiscount();
    void DeleteDiscount();
    void CopyList();
    void NetLeft();
    void WithTaxLeft();
    void ShowList();

    registers::ui::ArticlePicker* Article() const { return m_article; }
    QComboBox* ListBox() const { return m_lists; }
    QComboBox* CurrencyBox() const { return m_currency; }
    QComboBox* GroupBox() const { return m_group; }
    zodra::ui::NumberBox* NetBox() const { return m_net; }
    zodra::ui::NumberBox* WithTaxBox() const { return m_withTax; }
    zodra::ui::NumberBox* DiscountBox() const { return m_discount; }
    QCheckBox* FromArticlesBox() const { return m_fromArticles; }
    zodra::ui::DataGrid* PricesGrid() const { return m_prices; }
    zodra::ui::DataGrid* DiscountsGrid() const { return m_discounts; }

private:
    double TaxRate() const;
    void FillChoices();

    zodra::ui::WindowHost& m_host;
    const zodra::ui::CommandRegistry* m_registry;
    QComboBox* m_lists;
    registers::ui::ArticlePicker* m_article;
    QComboBox* m_currency;
    zodra::ui::NumberBox* m_net;
    zodra::ui::NumberBox* m_withTax;
    zodra::ui::DataGrid* m_prices;
    QComboBox* m_group;
    zodra::ui::NumberBox* m_discount;
    QCheckBox* m_fromArticles;
    zodra::ui::DataGrid* m_discounts;
};

}  // namespace zodra::pricelists::ui
