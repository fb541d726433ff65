#pragma once

#include <QDialog>

#include "production/WorkOrder.h"

class QComboBox;

namespace zodra::ui {
class DataGrid;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::production::ui {

// "Upis": a product of the work order. The products with a bill of materials ("Proizvodi :"),
// the chosen bill's parts and costs, "Količina :" (checked against the stock when it is left:
// each short part warns and the box is cut to what the stock covers), "Cijena materijala :"
// and "Zavisni trošak :" proposed from the bill, "Prodajna cijena :" and "Prod. c. s por. :"
// (either one gives the other by the product's tax). "Prihvati" adds the product through the
// core; a refusal keeps the dialog and everything typed.
class ProductEntryDialog : public QDialog {
    Q_OBJECT
public:
    ProductEntryDialog(zodra::ui::WindowHost& host, const WorkOrderCodes& codes,
                       QWidget* parent = nullptr);

    bool ChooseProduct(int product);
    // The quantity's stock check (also run when the box is left).
    void CheckQuantity();
    void Accept();
    bool Added() const { return m_added; }

    QComboBox* Products() const { return m_products; }
    zodra::ui::DataGrid* Parts() const { return m_parts; }
    zodra::ui::DataGrid* Costs() const { return m_costs; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* MaterialPrice() const { return m_material; }
    zodra::ui::NumberBox* DependentCost() const { return m_dependent; }
    zodra::ui::NumberBox* SellingPrice() const { return m_selling; }
    zodra::ui::NumberBox* SellingPriceWithTax() const { return m_sellingWithTax; }

private:
    void ProductChosen();
    int Product() const;

    zodra::ui::WindowHost& m_host;
    WorkOrderCodes m_codes;
    double m_taxRate = 0;
    bool m_added = false;
    QComboBox* m_products;
    zodra::ui::DataGrid* m_parts;
    zodra::ui::DataGrid* m_costs;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_material;
    zodra::ui::NumberBox* m_dependent;
    zodra::ui::NumberBox* m_selling;
    zodra::ui::NumberBox* m_sellingWithTax;
};

}  // namespace zodra::production::ui
