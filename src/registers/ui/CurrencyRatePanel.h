#pragma once

#include <QWidget>

class QLineEdit;

namespace zodra::ui {
class DataGrid;
class DateBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {

// Beside the currency register ("Valute"): the grid of the shown currency's rates by date, and
// a date and a rate to store (a rate of 0 or below, or no number, is refused with "Neispravno
// upisan tečaj " + the currency) or to delete.
class CurrencyRatePanel : public QWidget {
    Q_OBJECT
public:
    CurrencyRatePanel(zodra::ui::WindowHost& host, QWidget* parent = nullptr);
    void SetCurrency(int code);
    void StoreTyped();
    void DeleteSelected();
    zodra::ui::DataGrid* Grid() const { return m_grid; }
    zodra::ui::DateBox* DateField() const { return m_date; }
    QLineEdit* RateField() const { return m_rate; }

private:
    void Fill();

    zodra::ui::WindowHost& m_host;
    int m_currency = 0;
    zodra::ui::DataGrid* m_grid;
    zodra::ui::DateBox* m_date;
    QLineEdit* m_rate;
};

}  // namespace zodra::registers::ui
