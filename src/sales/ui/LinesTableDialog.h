#pragma once

#include <QDialog>

#include "data/TableData.h"

namespace zodra::ui {
class DataGrid;
}

namespace zodra::sales::ui {

// "Tablično": every column of a document's lines in one grid, to read; "Zatvori" or Esc.
class LinesTableDialog : public QDialog {
    Q_OBJECT
public:
    LinesTableDialog(TableData lines, const QString& documentName, QWidget* parent = nullptr);

    zodra::ui::DataGrid* Grid() const { return m_grid; }

private:
    zodra::ui::DataGrid* m_grid;
};

}  // namespace zodra::sales::ui
