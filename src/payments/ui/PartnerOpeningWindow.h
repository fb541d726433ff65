#pragma once

#include <QWidget>

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Početna stanja kupaca" (and "Početna stanja dobavljača"): the opening balances of the
// business year. "Upis" opens the partner payment window, whose kind box records them; Delete
// (or "Brisanje") asks "Želite li izbrisati plaćanje ?" and deletes the selected one; "Ispis"
// prints the year's opening balances (poc_stanja.rpt / poc_stanja_ura.rpt).
class PartnerOpeningWindow : public QWidget {
    Q_OBJECT
public:
    PartnerOpeningWindow(zodra::ui::WindowHost& host, bool supplier, QWidget* parent = nullptr);

    static QString ObjectName(bool supplier) {
        return supplier ? QStringLiteral("Pocetna_stanja_dobavljaca")
                        : QStringLiteral("Pocetna_stanja_kupaca");
    }
    static QString Caption(bool supplier) {
        return supplier ? QStringLiteral("Početna stanja dobavljača")
                        : QStringLiteral("Početna stanja kupaca");
    }

    void Refresh();
    void DeleteSelected();
    zodra::ui::DataGrid* Grid() const { return m_grid; }

private:
    zodra::ui::WindowHost& m_host;
    bool m_supplier;
    zodra::ui::DataGrid* m_grid = nullptr;
};

}  // namespace zodra::payments::ui
