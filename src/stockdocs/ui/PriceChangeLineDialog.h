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

// "Upis" (frmUpisIzmjeneCijena): one lot of an article gets a new price. The article is chosen
// by group or code, the lot from its lots with stock ("Primka :"); the old price is shown with
// and without tax, and the new price may be typed either way ("Nova cijena :" or "Nova c. s por.
// :"), the other following from the article's tax rate. "Prihvati" writes the line and waits
// for the next one; "Odustani" closes (accepted when a line was written).
class PriceChangeLineDialog : public QDialog {
    Q_OBJECT
public:
    PriceChangeLineDialog(zodra::ui::WindowHost& host, QWidget* parent);

    int LinesWritten() const { return m_written; }

private:
    void ArticleChosen();
    void LotChosen();
    void AcceptLine();

    zodra::ui::WindowHost& m_host;
    registers::ui::ArticlePicker* m_picker;
    QComboBox* m_lot;
    QLabel* m_oldPrice;
    QLabel* m_oldPriceWithTax;
    zodra::ui::NumberBox* m_newPrice;
    zodra::ui::NumberBox* m_newPriceWithTax;
    double m_rate = 0;
    int m_written = 0;
};

}  // namespace zodra::stockdocs::ui
