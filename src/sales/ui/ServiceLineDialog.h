#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "sales/InvoiceLineBoxes.h"
#include "sales/InvoiceLines.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// Writes an accepted service line with the employees chosen for it.
using ServiceLineWriter =
    std::function<std::optional<AcceptedLine>(const ServiceLineInput&, const std::vector<int>&)>;

// "Upis usluge" (frmUpisUsluge): the service, the line's own sales terms, Količina, Cijena,
// Vrijednost, Rabat %, Cijena s porezom, Vrijednost s porezom (following one another as in the
// article dialog) and Opis. The service "CASSA SCONTO" takes the cash-discount road when it is
// accepted: its percent is asked, and the line is minus that percent of the invoice so far.
class ServiceLineDialog : public QDialog {
    Q_OBJECT
public:
    ServiceLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                      ServiceLineWriter writer, QWidget* parent = nullptr);

    bool AcceptLine();
    int LinesWritten() const { return m_written; }

    QComboBox* Service() const { return m_service; }
    QComboBox* Terms() const { return m_terms; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    zodra::ui::NumberBox* Value() const { return m_value; }
    zodra::ui::NumberBox* DiscountPercent() const { return m_discountPercent; }
    zodra::ui::NumberBox* PriceWithTax() const { return m_priceWithTax; }
    zodra::ui::NumberBox* ValueWithTax() const { return m_valueWithTax; }
    QLineEdit* Description() const { return m_description; }
    // "Djelatnici-F2" (F2 in any box): who did the work, written with the line.
    QPushButton* EmployeesButton() const { return m_employeesButton; }
    const std::vector<int>& Employees() const { return m_employees; }
    void ChooseEmployees();

private:
    void ServiceChosen();
    void Show();
    std::optional<int> LineTerms() const;

    zodra::ui::WindowHost& m_host;
    InvoiceDraft m_draft;
    ServiceLineWriter m_writer;
    InvoiceLineBoxes m_boxes;
    int m_written = 0;
    QComboBox* m_service;
    QComboBox* m_terms;
    QLabel* m_unit;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_value;
    zodra::ui::NumberBox* m_discountPercent;
    zodra::ui::NumberBox* m_priceWithTax;
    zodra::ui::NumberBox* m_valueWithTax;
    QLineEdit* m_description;
    QPushButton* m_employeesButton;
    std::vector<int> m_employees;
};

}  // namespace zodra::sales::ui
