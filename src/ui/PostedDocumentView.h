#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

#include "ui/DocumentDescription.h"

namespace zodra::ui {

class DataGrid;
class WindowHost;

// One posted document, read-only.
class PostedDocumentView : public QWidget {
    Q_OBJECT
public:
    PostedDocumentView(WindowHost& host, std::shared_ptr<const DocumentDescription> description,
                       const QVariant& key, QWidget* parent = nullptr);
    DataGrid* Lines() const { return m_lines; }

private:
    DataGrid* m_lines;
};

}  // namespace zodra::ui
