#pragma once

#include <QWidget>

#include "ui/DocumentListController.h"

class QLabel;

namespace zodra::ui {

class DataGrid;
class WindowHost;

// A read-only table with a line of totals under it: the table view of a list of documents
// (DocumentListController::TableRows and TableTotals, read once as it opens).
class DocumentTableView : public QWidget {
    Q_OBJECT
public:
    DocumentTableView(WindowHost& host, DocumentListController& controller,
                      QWidget* parent = nullptr);
    DataGrid* Table() const { return m_grid; }
    QLabel* Totals() const { return m_totals; }

private:
    DataGrid* m_grid;
    QLabel* m_totals;
};

}  // namespace zodra::ui
