#pragma once

#include <QDialog>

#include "stock/TradeBook.h"

class QLineEdit;

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::ui {
class DateBox;
class NumberBox;
}  // namespace zodra::ui

namespace zodra::stock::ui {

// "Upis u TK veleprodaje" / "Upis u TK maloprodaje": a direct entry into a trade book of the
// active warehouse and business year. Fields "Datum", "Opis", "Nabava vr.", (retail) "Nab. por.",
// "Prodaja vr." and "Prod. por.", with the checks of the date and number boxes. "Prihvati"
// writes the entry (type "DIREKTAN UPIS", the next direct-entry number, its totals and the
// balance carried) and closes; "Odustani" writes nothing.
class DirectEntryDialog : public QDialog {
    Q_OBJECT
public:
    DirectEntryDialog(Session& session, Prompter& prompter, tradebook::Book book,
                      QWidget* parent = nullptr);

    static QString Caption(tradebook::Book book);

    zodra::ui::DateBox* DateField() const { return m_date; }
    QLineEdit* DescriptionField() const { return m_description; }
    zodra::ui::NumberBox* PurchaseField() const { return m_purchase; }
    zodra::ui::NumberBox* PurchaseTaxField() const { return m_purchaseTax; }  // retail only
    zodra::ui::NumberBox* SalesField() const { return m_sales; }
    zodra::ui::NumberBox* SalesTaxField() const { return m_salesTax; }

    // "Prihvati".
    void Accept();
    // The entry written (its RBR), or 0.
    int AddedNumber() const { return m_added; }

private:
    Session& m_session;
    Prompter& m_prompter;
    tradebook::Book m_book;
    zodra::ui::DateBox* m_date = nullptr;
    QLineEdit* m_description = nullptr;
    zodra::ui::NumberBox* m_purchase = nullptr;
    zodra::ui::NumberBox* m_purchaseTax = nullptr;
    zodra::ui::NumberBox* m_sales = nullptr;
    zodra::ui::NumberBox* m_salesTax = nullptr;
    int m_added = 0;
};

}  // namespace zodra::stock::ui
