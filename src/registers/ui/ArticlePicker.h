#pragma once

#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::registers {
class ArticleListModel;
}

namespace zodra::registers::ui {

// The article box every window that chooses an article uses: the articles in the company's
// article order (read a page at a time, so 50,000 articles open at once), and beside it a field
// that takes a barcode, a code or the beginning of a name ("*" wildcards): typing moves the box
// to the first match, Enter looks the text up and tells when nothing is found. A window that
// lets the user choose "by group or code" turns on the group box: the articles of one group,
// while a code or barcode typed in the field still finds any article.
class ArticlePicker : public QWidget {
    Q_OBJECT
public:
    ArticlePicker(zodra::ui::WindowHost& host, QWidget* parent = nullptr);
    ~ArticlePicker() override;

    // The chosen article, 0 when none.
    int Code() const;
    bool SetCode(int code);
    // Reads the articles again (after one was added).
    void Reload();
    QLineEdit* SearchField() const { return m_search; }
    QComboBox* Box() const { return m_box; }
    // Shows the group box in front of the field; nullptr until then.
    QComboBox* GroupBox() const { return m_groups; }
    void ShowGroupFilter();
    // The articles of one group (0: all of them).
    void ChooseGroup(int group);
    // Lists only the articles with stock in a warehouse and year (none: every article). An
    // article typed by its code or barcode is found also when it has no stock: the list then
    // shows every article and stockFilterChanged(false) says so.
    void SetStockPlace(std::optional<int> warehouse, int year = 0);
    bool StockFiltered() const;
    // Lists the articles in another order ("po nazivu", "po nazivu i šifri", "po šifri i
    // nazivu"), keeping the chosen one.
    void SetOrder(const QString& order);

Q_SIGNALS:
    void chosen(int code);
    void stockFilterChanged(bool filtered);

private:
    void Typed(const QString& text);
    void Entered();

    zodra::ui::WindowHost& m_host;
    std::unique_ptr<ArticleListModel> m_model;
    QLineEdit* m_search;
    QComboBox* m_box;
    QComboBox* m_groups = nullptr;
};

}  // namespace zodra::registers::ui
