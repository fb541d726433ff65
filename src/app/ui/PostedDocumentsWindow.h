#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

#include "app/ui/DocumentDescription.h"

namespace zodra::ui {

class DataGrid;
class WindowHost;

// The list of posted documents of the warehouse and year: open, print, cancel, delete.
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
    DataGrid* Documents() const { return m_grid; }

private:
    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
    DataGrid* m_grid;
};

// Shows the list (or brings an open one to the front, read again).
PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::shared_ptr<const DocumentDescription> description);

}  // namespace zodra::ui
