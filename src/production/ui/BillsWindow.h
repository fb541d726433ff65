#pragma once

#include <QWidget>

class QLabel;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::production::ui {

// "Sastavnice": the products that have a bill of materials on the left; the chosen bill's parts
// and costs with the material price and the product's selling price (without and with tax) on
// the right; "Novi proizvod" (a new bill), a part added (article, quantity, fixed lot) or
// deleted, a cost added or deleted, the bill printed or deleted.
class BillsWindow : public QWidget {
    Q_OBJECT
public:
    static QString CommandName();  // "Sifarnici_sastavnice"
    explicit BillsWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    // The bill shown (0: none) and choosing one by its product.
    int CurrentBill() const;
    bool ShowProduct(int product);

    void AddBill();
    void AddPart();
    void DeletePart();
    void AddCost();
    void DeleteCost();
    void Print();
    void DeleteBill();

    zodra::ui::DataGrid* Bills() const { return m_bills; }
    zodra::ui::DataGrid* Parts() const { return m_parts; }
    zodra::ui::DataGrid* Costs() const { return m_costs; }
    QLabel* MaterialPrice() const { return m_material; }
    QLabel* SellingPrice() const { return m_selling; }
    QLabel* SellingPriceWithTax() const { return m_sellingWithTax; }

private:
    void ReloadBills(int selectBill);
    void ShowBill();

    zodra::ui::WindowHost& m_host;
    zodra::ui::DataGrid* m_bills;
    zodra::ui::DataGrid* m_parts;
    zodra::ui::DataGrid* m_costs;
    QLabel* m_material;
    QLabel* m_selling;
    QLabel* m_sellingWithTax;
};

}  // namespace zodra::production::ui
