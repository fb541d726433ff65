#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::registers::ui {

// "Dodatni podaci": the names of the extra data an invoice line of the article asks for, in
// order, with adding and deleting.
class ExtraDataDialog : public QDialog {
    Q_OBJECT
public:
    ExtraDataDialog(zodra::ui::WindowHost& host, int article, QWidget* parent = nullptr);
    void AddTyped();
    void DeleteSelected();
    QListWidget* List() const { return m_list; }
    QLineEdit* NameBox() const { return m_name; }

private:
    void Fill();

    zodra::ui::WindowHost& m_host;
    int m_article;
    QListWidget* m_list;
    QLineEdit* m_name;
};

}  // namespace zodra::registers::ui
