#pragma once

#include <QDialog>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

class QComboBox;

namespace zodra::books::ui {

// The choice of the invoice book a window or report works on ("Knjiga izlaznih računa",
// "Knjiga ulaznih računa"), asked when the company keeps more than one book. "Prihvati" (or
// Enter) takes the chosen book; "Odustani" and Esc leave nothing chosen.
class BookDialog : public QDialog {
    Q_OBJECT
public:
    using Choices = std::vector<std::pair<int, QString>>;  // code, name

    BookDialog(const QString& title, const Choices& books, QWidget* parent = nullptr);

    QComboBox* Books() const { return m_books; }
    std::optional<int> Chosen() const { return m_chosen; }

    // The book: the only one without asking, else the one chosen (none when cancelled or when
    // the company has no book).
    static std::optional<int> Ask(const QString& title, const Choices& books, QWidget* parent);

    void Accept();

private:
    QComboBox* m_books = nullptr;
    std::optional<int> m_chosen;
};

}  // namespace zodra::books::ui
