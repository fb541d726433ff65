#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class QAbstractTableModel;
class QLineEdit;
class QTableView;

namespace zodra::registers::ui {

// "Artikli tablično", "Partneri tablično": a register as a grid edited cell by cell (the model
// saves each cell through the entry checks), with a search field that moves to the first row
// whose name begins with what is typed.
class GridWindow : public QWidget {
    Q_OBJECT
public:
    using Finder = std::function<int(const QString& typed)>;
    GridWindow(const QString& objectName, const QString& caption,
               std::unique_ptr<QAbstractTableModel> model, Finder find, QWidget* parent = nullptr);
    ~GridWindow() override;

    QTableView* Grid() const { return m_grid; }
    QLineEdit* SearchField() const { return m_search; }
    QAbstractTableModel* Model() const { return m_model.get(); }

private:
    std::unique_ptr<QAbstractTableModel> m_model;
    Finder m_find;
    QTableView* m_grid;
    QLineEdit* m_search;
};

}  // namespace zodra::registers::ui
