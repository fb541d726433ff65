#pragma once

#include <QDialog>
#include <vector>

#include "production/FinishingWorkOrder.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zodra::ui {
class DataGrid;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::production::ui {

// "Upis" of a finishing work order: the product ("Proizvod :", any article: the goods are the
// customer's), "Količina :", " Materijal po sastavnici" (its bill gives the material and
// costs), typed material ("Materijal :", "Kol. materijala :", "Dodaj materijal") and services
// ("Usluga :", "Kol. usluge :", "Cijena usluge :", "Dodaj uslugu"), each gathered in its grid.
// "Prihvati" adds the product line through the core; a refusal (the stock warning among them)
// keeps the dialog and everything gathered.
class FinishedProductDialog : public QDialog {
    Q_OBJECT
public:
    FinishedProductDialog(zodra::ui::WindowHost& host, int code, QWidget* parent = nullptr);

    bool ChooseProduct(int product);
    bool ChooseMaterial(int article);
    void AddMaterial();
    void AddService();
    void Accept();
    bool Added() const { return m_added; }

    QComboBox* Products() const { return m_products; }
    QCheckBox* FromBill() const { return m_fromBill; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    QComboBox* MaterialArticle() const { return m_materialArticle; }
    zodra::ui::NumberBox* MaterialQuantity() const { return m_materialQuantity; }
    QLineEdit* ServiceText() const { return m_serviceText; }
    zodra::ui::NumberBox* ServiceQuantity() const { return m_serviceQuantity; }
    zodra::ui::NumberBox* ServicePrice() const { return m_servicePrice; }
    zodra::ui::DataGrid* MaterialGrid() const { return m_materialGrid; }
    zodra::ui::DataGrid* ServiceGrid() const { return m_serviceGrid; }

private:
    void ShowGathered();

    zodra::ui::WindowHost& m_host;
    int m_code;
    bool m_added = false;
    std::vector<MaterialEntry> m_material;
    std::vector<ServiceEntry> m_services;
    QComboBox* m_products;
    zodra::ui::NumberBox* m_quantity;
    QCheckBox* m_fromBill;
    QComboBox* m_materialArticle;
    zodra::ui::NumberBox* m_materialQuantity;
    QLineEdit* m_serviceText;
    zodra::ui::NumberBox* m_serviceQuantity;
    zodra::ui::NumberBox* m_servicePrice;
    zodra::ui::DataGrid* m_materialGrid;
    zodra::ui::DataGrid* m_serviceGrid;
};

}  // namespace zodra::production::ui
