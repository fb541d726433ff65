#pragma once

#include <QDialog>

#include "sales/InvoiceCorrection.h"

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// "Promjena stavke": the quantity, the price before discount and the discount percent of a
// posted invoice's line, as they stand; "Prihvati" hands them back to be written.
class LineChangeDialog : public QDialog {
    Q_OBJECT
public:
    LineChangeDialog(zodra::ui::WindowHost& host, const QString& name, double quantity,
                     double price, double discountPercent, QWidget* parent = nullptr);

    PostedLineChange Change() const;

    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    zodra::ui::NumberBox* DiscountPercent() const { return m_discountPercent; }

private:
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_discountPercent;
};

}  // namespace zodra::sales::ui
