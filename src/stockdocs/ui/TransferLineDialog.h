#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::stockdocs::ui {

// "Upis" (frmUpisMeduskladisnice): one line of the transfer. The article is chosen by group,
// code or barcode, the source lot from its lots with stock ("Primka :"); choosing a lot proposes
// its whole free quantity and its selling price as the destination price, with tax beside. The
// quantity ("Količina :") is cut to the lot's free quantity when it is left; the destination
// price may be typed without tax ("Odredišna cijena :") or with it ("Odr. cijena s por. :"), the
// other following from the article's tax rate. "Prihvati" writes the line (a lot already on the
// transfer asks whether to add to its line) and waits for the next one; "Odustani" closes
// (accepted when a line was written).
class TransferLineDialog : public QDialog {
    Q_OBJECT
public:
    TransferLineDialog(zodra::ui::WindowHost& host, int destination, QWidget* parent);

    int LinesWritten() const { return m_written; }
    // "Prihvati": true when a line was written.
    bool AcceptLine();

    registers::ui::ArticlePicker* Picker() const { return m_picker; }
    QComboBox* Lots() const { return m_lot; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* DestinationPrice() const { return m_price; }
    zodra::ui::NumberBox* DestinationPriceWithTax() const { return m_priceWithTax; }

private:
    void ArticleChosen();
    void LotChosen();
    void QuantityLeft();
    void Clear();

    zodra::ui::WindowHost& m_host;
    int m_destination;
    registers::ui::ArticlePicker* m_picker;
    QComboBox* m_lot;
    QLabel* m_stock;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_priceWithTax;
    double m_rate = 0;
    int m_written = 0;
};

}  // namespace zodra::stockdocs::ui
