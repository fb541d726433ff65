#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "data/TableData.h"

class QComboBox;
class QLabel;
class QTableView;

namespace zodra {
class Database;
}

namespace zodra::ui {
class WindowHost;
}

namespace zodra::sales::ui {

class InvoiceListModel;

// What a choice window of posted sales documents reads: a page of the documents of the
// warehouse, book (0 without books) and year after the given number, and the selected one's
// data shown under the list.
struct ChoiceListSource {
    std::function<TableData(Database& db, int warehouse, int book, int year,
                            std::optional<int> after, int limit)>
        page;
    std::function<QString(Database& db, int warehouse, int book, int year, int number)> details;
};

// A button of the choice window's row, left to right before the close button.
struct ChoiceListButton {
    const char* caption;  // with its Alt letter
    const char* name;     // object name
    std::function<void()> run;
};

// How a list fits its columns when it is read: the third column (the customer) takes the width
// the others leave; or every column is sized to its contents and the one headed "Kupac"
// stretches; or the columns are left to whoever reads the list.
enum class ChoiceListFit { ThirdColumnStretches, CustomerStretches, Unfitted };

// The shape every choice window of posted sales documents shares: an optional "Knjiga IRA :"
// book box, the list read a page at a time, the selected document's data under it and a row
// of buttons ending in the close button. Enter on the list runs `activate`; the list keeps
// the selected number when it is read again.
class ChoiceListWindow : public QWidget {
    Q_OBJECT
public:
    int Book() const;  // 0 without a book box
    void SetBook(int book);
    QVariant CurrentNumber() const;
    void SelectNumber(int number);
    void Reload();

    InvoiceListModel* Model() const { return m_model; }
    QLabel* Details() const { return m_details; }
    QComboBox* BookBox() const { return m_book; }  // nullptr without books

protected:
    ChoiceListWindow(zodra::ui::WindowHost& host, bool withBooks, const QString& listName,
                     ChoiceListFit fit, ChoiceListSource source,
                     const std::vector<ChoiceListButton>& buttons, std::function<void()> activate,
                     QWidget* parent);

    QTableView* Grid() const { return m_grid; }
    zodra::ui::WindowHost& Host() const { return m_host; }

private:
    void ShowDetails();

    zodra::ui::WindowHost& m_host;
    ChoiceListSource m_source;
    QComboBox* m_book = nullptr;
    QTableView* m_grid;
    InvoiceListModel* m_model;
    QLabel* m_details;
};

// A list of posted documents as the choice windows and their table views show it: one row
// selected at a time, no row headers, no wrapping.
QTableView* MakeChoiceList(const QString& name, InvoiceListModel* model, ChoiceListFit fit,
                           QWidget* parent);

}  // namespace zodra::sales::ui
