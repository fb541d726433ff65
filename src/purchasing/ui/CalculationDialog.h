#pragma once

#include <QDialog>
#include <QMap>

#include "purchasing/CalculationSetup.h"
#include "purchasing/PriceCalculation.h"

class QLabel;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::purchasing::ui {

// "Kalkulacija cijena": every box of the price calculation of one article line, from the
// invoice price in the document's currency to the retail price. A box recalculates when it is
// left after typing: its backward derivation, then the whole chain (PriceCalculation); the
// window only shows the values. "Prihvati" accepts the calculation, "Odustani" drops it.
// With the company's shortened calculation the rows that are empty for this line are left
// out (BoxOf gives nullptr for their boxes).
class CalculationDialog : public QDialog {
    Q_OBJECT
public:
    CalculationDialog(zodra::ui::WindowHost& host, const ArticleFacts& facts,
                      PriceCalculation calculation, QWidget* parent = nullptr);

    const PriceCalculation& Calculation() const { return m_calculation; }
    const ArticleFacts& Facts() const { return m_facts; }
    zodra::ui::NumberBox* BoxOf(PriceCalculation::Box box) const { return m_boxes.value(box); }
    // A value typed into a box as the user would and left (for tests and the keyboard).
    void Type(PriceCalculation::Box box, double value);

private:
    void Left(PriceCalculation::Box box);
    void Show();

    zodra::ui::WindowHost& m_host;
    ArticleFacts m_facts;
    PriceCalculation m_calculation;
    QMap<PriceCalculation::Box, zodra::ui::NumberBox*> m_boxes;
};

}  // namespace zodra::purchasing::ui
