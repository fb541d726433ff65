#pragma once

#include <QWidget>
#include <memory>

#include "ui/PostedDocumentController.h"

namespace zodra::ui {

class DataGrid;
class WindowHost;

// One posted document, read-only, as its controller (which it owns) gives it.
class PostedDocumentView : public QWidget {
    Q_OBJECT
public:
    PostedDocumentView(WindowHost& host, std::unique_ptr<PostedDocumentController> controller,
                       QWidget* parent = nullptr);
    ~PostedDocumentView() override;
    DataGrid* Lines() const { return m_lines; }

private:
    WindowHost& m_host;
    std::unique_ptr<PostedDocumentController> m_controller;
    DataGrid* m_lines;
};

}  // namespace zodra::ui
