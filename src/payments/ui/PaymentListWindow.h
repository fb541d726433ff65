#pragma once

#include <QWidget>

namespace zodra::ui {
class DataGrid;
class DateBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Uplate kupaca" (and "Uplate dobavljačima"): the payments of a period with what each has
// closed. Delete (or "Brisanje") asks "Želite li izbrisati plaćanje ?" (No is the default) and
// deletes the payment with every closing taken from it. "Ispis" prints the payments of the
// window's dates (uplate.rpt / uplate_ura.rpt), "Ispis po danima" their sums by day
// (uplate_dan.rpt / uplate_ura_dan.rpt).
class PaymentListWindow : public QWidget {
    Q_OBJECT
public:
    PaymentListWindow(zodra::ui::WindowHost& host, bool supplier, QWidget* parent = nullptr);

    static QString ObjectName(bool supplier) {
        return supplier ? QStringLiteral("Uplate_dobavljacima") : QStringLiteral("Uplate_kupaca");
    }
    static QString Caption(bool supplier) {
        return supplier ? QStringLiteral("Uplate dobavljačima") : QStringLiteral("Uplate kupaca");
    }

    void Refresh();
    void DeleteSelected();
    void Print(bool byDay);
    zodra::ui::DataGrid* Grid() const { return m_grid; }

private:
    zodra::ui::WindowHost& m_host;
    bool m_supplier;
    zodra::ui::DateBox* m_from = nullptr;
    zodra::ui::DateBox* m_to = nullptr;
    zodra::ui::DataGrid* m_grid = nullptr;
};

}  // namespace zodra::payments::ui
