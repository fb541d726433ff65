#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {

class ArticlePicker;

// "Sastavnice": the bills of materials by product; for the chosen bill its parts (article,
// quantity per product, lot) and its further costs (description, quantity, price, value).
// Preparing a work order from a bill and printing it belong to production.
class BillOfMaterialsWindow : public QWidget {
    Q_OBJECT
public:
    BillOfMaterialsWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    int CurrentBill() const;
    bool SelectBill(int bill);
    void AddBill();
    void DeleteBill();
    void AddPart();
    void RemovePart();
    void AddCost();
    void RemoveCost();

    QListWidget* Bills() const { return m_bills; }
    ArticlePicker* ProductPicker() const { return m_product; }
    ArticlePicker* PartPicker() const { return m_part; }
    zodra::ui::DataGrid* PartsGrid() const { return m_parts; }
    zodra::ui::DataGrid* CostsGrid() const { return m_costs; }
    QLineEdit* Field(const QString& name) const;

private:
    void FillBills(int select);
    void ShowBill();

    zodra::ui::WindowHost& m_host;
    QListWidget* m_bills;
    ArticlePicker* m_product;
    ArticlePicker* m_part;
    zodra::ui::DataGrid* m_parts;
    zodra::ui::DataGrid* m_costs;
};

}  // namespace zodra::registers::ui
