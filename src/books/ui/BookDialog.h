#pragma once

#include <QDialog>
#include <optional>

class QComboBox;

namespace zodra {
class Database;
}

namespace zodra::books::ui {

// "Knjiga izlaznih računa": the choice of the output invoice book a book report is printed for,
// asked before the range when the company keeps more than one book. "Prihvati" (or Enter)
// takes the chosen book; "Odustani" and Esc leave nothing chosen.
class IraBookDialog : public QDialog {
    Q_OBJECT
public:
    IraBookDialog(Database& db, QWidget* parent = nullptr);

    QComboBox* Books() const { return m_books; }
    std::optional<int> Chosen() const { return m_chosen; }

    // The book to print: the only one without asking, else the one chosen (none when cancelled
    // or when the company has no book).
    static std::optional<int> Ask(Database& db, QWidget* parent);

    void Accept();

private:
    QComboBox* m_books = nullptr;
    std::optional<int> m_chosen;
};

}  // namespace zodra::books::ui
