#pragma once

#include <QDialog>
#include <functional>

#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptLines.h"

class QLabel;

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::purchasing::ui {

class CalculationDialog;

// The quick line entry of a receipt (frmUpisPrimke): the article with its unit, stock and lot
// price, the quantity, and the purchase and selling price or value without tax. With only the
// article and the quantity, "Prihvati" opens the full calculation ("Kalkulacija cijena");
// otherwise the line is written as typed, without discount or costs. The line goes into the
// receipt (the working copy, or a posted receipt under correction with its lots), a repeated
// article asking whether to merge. The window closes after a line or stays for the next one,
// as the company's "Zatvaranje prozora nakon upisa stavke" says.
class LineEntryDialog : public QDialog {
    Q_OBJECT
public:
    // What a calculation window does before it is shown (tests type into it there).
    using CalculationHook = std::function<bool(CalculationDialog&)>;

    LineEntryDialog(zodra::ui::WindowHost& host, ReceiptTarget target, CalculationContext context,
                    QWidget* parent = nullptr);

    // "Prihvati": true when a line was written.
    bool AcceptLine();
    int LinesWritten() const { return m_written; }
    // Instead of showing the calculation window modally (tests): the hook fills it and says
    // whether it was accepted.
    void SetCalculationHook(CalculationHook hook) { m_hook = std::move(hook); }

    registers::ui::ArticlePicker* Picker() const { return m_picker; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    zodra::ui::NumberBox* CostPrice() const { return m_costPrice; }
    zodra::ui::NumberBox* CostValue() const { return m_costValue; }
    zodra::ui::NumberBox* Price() const { return m_price; }
    zodra::ui::NumberBox* Value() const { return m_value; }
    QLabel* StockLabel() const { return m_stock; }

private:
    void ArticleChosen();
    void Show();
    void Clear();

    zodra::ui::WindowHost& m_host;
    ReceiptTarget m_target;
    CalculationContext m_context;
    QuickLine m_line;
    CalculationHook m_hook;
    int m_written = 0;
    registers::ui::ArticlePicker* m_picker;
    QLabel* m_unit;
    QLabel* m_stock;
    QLabel* m_lotPrice;
    zodra::ui::NumberBox* m_quantity;
    zodra::ui::NumberBox* m_costPrice;
    zodra::ui::NumberBox* m_costValue;
    zodra::ui::NumberBox* m_price;
    zodra::ui::NumberBox* m_value;
};

}  // namespace zodra::purchasing::ui
