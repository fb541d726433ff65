#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

#include "ui/DocumentListController.h"

class QLabel;

namespace zodra::ui {

class DataGrid;
class WindowHost;

// The list of posted documents of the warehouse and year: open, print, cancel, delete, the
// further buttons of its controller (which it owns), details of the selected document, totals,
// and the table view of all documents.
class PostedDocumentsWindow : public QWidget {
    Q_OBJECT
public:
    PostedDocumentsWindow(WindowHost& host, std::unique_ptr<DocumentListController> controller,
                          QWidget* parent = nullptr);
    ~PostedDocumentsWindow() override;
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
    void RunAction(const ListAction& action);

    WindowHost& m_host;
    std::unique_ptr<DocumentListController> m_controller;
    DataGrid* m_grid;
    QLabel* m_details = nullptr;
    QLabel* m_totals = nullptr;
};

// Shows the list of the controller (or brings an open one of its command to the front, read
// again; the controller then goes).
PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::unique_ptr<DocumentListController> controller);

}  // namespace zodra::ui
