#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "sales/InvoiceLineBoxes.h"
#include "sales/InvoiceLines.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// Writes an accepted article line into the invoice (its working copy, or a posted invoice under
// correction); nothing when the merge question was answered No.
using ArticleLineWriter = std::function<std::optional<AcceptedLine>(const ArticleLineInput&)>;

// "Upis artikla" (frmUpisArtikla): the article (by its code or barcode and Enter, or from the
// list, with the group filter), the lot it is taken from, the line's own sales terms, and the
// boxes Količina, Nabavna cijena, Cijena, Rabat %, Vrijednost, Rabat, Cijena sa por. and
// Vrijed. sa por., which follow one another (InvoiceLineBoxes); Opis. Choosing the article (or
// another lot or other terms) brings the proposal of price, discount and tax; leaving the
// quantity checks it against the lot's free quantity (cut, with the message) and the minimum
// and reserved stock (warnings). "Prihvati" writes the line; the dialog closes after it or waits
// for the next one, as the company says.
class ArticleLineDialog : public QDialog {
    Q_OBJECT
public:
    ArticleLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                      ArticleLineWriter writer, QWidget* parent = nullptr);

    // "Prihvati": true when a line was written.
    bool AcceptLine();
    int LinesWritten() const { return m_written; }

    registers::ui::ArticlePicker* Picker() const { return m_picker; }
    QComboBox* Lots() const { return m_lots; }
    QComboBox* Terms() const { return m_terms; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* CostPrice() const { return m_costPrice; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    zodra::ui::NumberBox* DiscountPercent() const { return m_discountPercent; }
    zodra::ui::NumberBox* Value() const { return m_value; }
    zodra::ui::NumberBox* Discount() const { return m_discount; }
    zodra::ui::NumberBox* PriceWithTax() const { return m_priceWithTax; }
    zodra::ui::NumberBox* ValueWithTax() const { return m_valueWithTax; }
    QLineEdit* Description() const { return m_description; }
    QLabel* StockLabel() const { return m_stock; }
    QLabel* CurrencyPriceLabel() const { return m_currencyPrice; }
    QLabel* MaxDiscountLabel() const { return m_maxDiscount; }
    // "svi": off lists only the articles with stock in the invoice's warehouse and year.
    QCheckBox* AllArticles() const { return m_all; }
    // The flag of the window behind the dialog: the currency price notice is shown once per
    // window, whichever of its dialogs comes to it first.
    void ShareCurrencyNotice(bool* shown) { m_currencyNoticeShown = shown; }

private:
    void ArticleChosen();
    void Propose(std::optional<int> lot);
    void QuantityLeft();
    void PriceLeft();
    void Show();
    void Clear();
    std::optional<int> LineTerms() const;

    zodra::ui::WindowHost& m_host;
    InvoiceDraft m_draft;
    ArticleLineWriter m_writer;
    InvoiceLineBoxes m_boxes;
    std::optional<ArticleProposal> m_proposal;
    int m_written = 0;
    bool m_warnedBelowCost = false;
    bool m_ownCurrencyNotice = false;
    bool* m_currencyNoticeShown = &m_ownCurrencyNotice;
    QCheckBox* m_all;
    QLabel* m_currencyPrice;
    QLabel* m_maxDiscount;
    registers::ui::ArticlePicker* m_picker;
    QComboBox* m_lots;
    QComboBox* m_terms;
    QLabel* m_unit;
    QLabel* m_stock;
    QLabel* m_costValue;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_costPrice;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_discountPercent;
    zodra::ui::NumberBox* m_value;
    zodra::ui::NumberBox* m_discount;
    zodra::ui::NumberBox* m_priceWithTax;
    zodra::ui::NumberBox* m_valueWithTax;
    QLineEdit* m_description;
};

// The sales terms box of a line dialog: every terms, the invoice's chosen.
void FillTermsBox(QComboBox* box, Session& session, std::optional<int> chosen);

}  // namespace zodra::sales::ui
