#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

#include "ui/DocumentDescription.h"

class QLabel;

namespace zodra::ui {

class DataGrid;
class WindowHost;

// The list of posted documents of the warehouse and year: open, print, cancel, delete, the
// further buttons of the description, details of the selected document, totals, and the table
// view of all documents.
class PostedDocumentsWindow : public QWidget {
    Q_OBJECT
public:
    PostedDocumentsWindow(WindowHost& host, std::shared_ptr<const DocumentDescription> description,
                          QWidget* parent = nullptr);
    void Reload();
    QVariant CurrentKey() const;
    void OpenCurrent();
    void DeleteCurrent();
    void CancelCurrent();
    void PrintCurrent();
    // Opens the table view (tableCaption) of all documents.
    void OpenTable();
    DataGrid* Documents() const { return m_grid; }
    QLabel* Details() const { return m_details; }
    QLabel* Totals() const { return m_totals; }

private:
    void ShowDetails();

    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
    DataGrid* m_grid;
    QLabel* m_details = nullptr;
    QLabel* m_totals = nullptr;
};

// Shows the list (or brings an open one to the front, read again).
PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::shared_ptr<const DocumentDescription> description);

}  // namespace zodra::ui
