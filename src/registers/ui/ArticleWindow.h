#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "registers/ArticleList.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace zodra::ui {
class CommandRegistry;
class FieldForm;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers {
class ArticleListModel;
}

namespace zodra::registers::ui {

// "Artikli": the articles in the company's article order (a group at a time or all, with the
// count), a search field ("*" wildcards, "Traži" for the next match, Enter for a barcode), the
// shown article's boxes edited in place and saved through the entry checks, the information
// block for the active warehouse and year, the vehicle box and data, extra data and packaging,
// "Dodaj" (the entry window "Upis novog artikla") and "Izbriši".
class ArticleWindow : public QWidget {
    Q_OBJECT
public:
    ArticleWindow(zodra::ui::WindowHost& host, const zodra::ui::CommandRegistry* registry,
                  QWidget* parent = nullptr);
    ~ArticleWindow() override;

    int CurrentCode() const { return m_shownCode; }
    bool SelectCode(int code);
    // Saves the shown article when it was changed; false (message shown) when refused.
    bool Save();
    void AddNew();
    void DeleteCurrent();
    void ChooseGroup(int index);
    void SearchTyped(const QString& text);
    void SearchAgain();
    void BarcodeEntered();

    ArticleListModel* Model() const { return m_model.get(); }
    zodra::ui::FieldForm* Form() const { return m_form; }
    QLineEdit* SearchField() const { return m_search; }
    QComboBox* GroupBox() const { return m_groups; }
    QLabel* CountLabel() const { return m_count; }
    QLabel* InfoLabel(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FillGroups();
    void OnCurrentChanged();
    void ShowArticle(int code);
    void ShowInformation(int code);
    void Select(const std::optional<ArticleRow>& row);
    void Reload(int selectCode);

    zodra::ui::WindowHost& m_host;
    const zodra::ui::CommandRegistry* m_registry;
    std::unique_ptr<ArticleListModel> m_model;
    QComboBox* m_groups;
    QLabel* m_count;
    QLineEdit* m_search;
    QListView* m_list;
    zodra::ui::FieldForm* m_form;
    QCheckBox* m_vehicle;
    QPushButton* m_vehicleData;
    QPushButton* m_save;
    QPushButton* m_delete;
    QWidget* m_info;
    int m_shownCode = 0;
    bool m_dirty = false;
    bool m_moving = false;
};

}  // namespace zodra::registers::ui
