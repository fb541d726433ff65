#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "sales/InvoiceLines.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

using CompositeLineWriter = std::function<std::optional<AcceptedLine>(const CompositeLineInput&)>;

// "Upis složenog artikla" ("Sl. artikli"): a product with a bill of materials, made when the
// invoice is posted. The product list holds the products that have a bill; choosing one
// proposes its price and discount (ProposeComposite); leaving the quantity checks the parts'
// stock and cuts it to what they cover with the warning; the value, tax and total follow the
// article line's arithmetic under the boxes. "Prihvati" writes the line and closes the dialog.
class CompositeLineDialog : public QDialog {
    Q_OBJECT
public:
    CompositeLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                        CompositeLineWriter writer, QWidget* parent = nullptr);

    bool AcceptLine();
    int LinesWritten() const { return m_written; }

    QComboBox* Product() const { return m_product; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    zodra::ui::NumberBox* Discount() const { return m_discount; }
    QLineEdit* Description() const { return m_description; }
    QLabel* Amounts() const { return m_amounts; }

private:
    int ChosenProduct() const;
    void ProductChosen();
    void QuantityLeft();
    void ShowAmounts();

    zodra::ui::WindowHost& m_host;
    InvoiceDraft m_draft;
    CompositeLineWriter m_writer;
    int m_written = 0;
    double m_taxRate = 0;
    QComboBox* m_product;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_discount;
    QLineEdit* m_description;
    QLabel* m_amounts;
};

}  // namespace zodra::sales::ui
