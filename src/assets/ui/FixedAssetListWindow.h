#pragma once

#include <QWidget>
#include <vector>

#include "assets/FixedAssetRegister.h"

class QLabel;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::assets::ui {

// "Popis dugotrajne imovine": the business year's rows of both tables by row number; a row of
// the older table says "raniji" in the column "Popis" beside its number. "Upis" opens the entry
// window for a new row, "Promjena" (or Enter, or a double click) for the selected one, "Brisanje"
// (or Delete) asks "Želite li obrisati stavku?" (No is the default) and deletes it, "Ispis" shows
// the printed list.
class FixedAssetListWindow : public QWidget {
    Q_OBJECT
public:
    explicit FixedAssetListWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    static QString ObjectName() { return QStringLiteral("PDI_Upis"); }

    void Refresh();
    zodra::ui::DataGrid* Grid() const { return m_grid; }
    const std::vector<FixedAsset>& Rows() const { return m_rows; }
    void SelectNumber(AssetTable table, int number);

    void Add();             // "Upis"
    void ChangeSelected();  // "Promjena"
    void DeleteSelected();  // "Brisanje"
    void PrintList();       // "Ispis"

    enum Column {
        Number,
        Source,
        Name,
        Document,
        PurchaseValue,
        BookValue,
        Group,
        Rate,
        Depreciation,
        YearEndValue,
        ColumnCount
    };

private:
    const FixedAsset* Selected() const;

    zodra::ui::WindowHost& m_host;
    zodra::ui::DataGrid* m_grid = nullptr;
    QLabel* m_totals = nullptr;
    std::vector<FixedAsset> m_rows;
};

}  // namespace zodra::assets::ui
