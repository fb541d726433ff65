#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/DocumentDescription.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zodra::ui {

class CommandRegistry;
class DataGrid;
class DateBox;
class FieldForm;
class NumberBox;
class WindowHost;

// The document window: header, the grid of this session's working lines, add/change/delete
// line, "Upis broja", "Proknjiži"; closing with lines asks first.
class DocumentWindow : public QWidget {
    Q_OBJECT
public:
    DocumentWindow(WindowHost& host, std::shared_ptr<const DocumentDescription> description,
                   const CommandRegistry* registry, QWidget* parent = nullptr);

    DocumentHeader Header() const;
    void RefreshLines();
    void AddLine();
    void ChangeLine();
    void DeleteLine();
    // "Upis broja": the number box may be typed in.
    void FreeNumber();
    // "Proknjiži": returns true when the document was posted.
    bool Post();

    // Sets the header's boxes (date, number, further fields) without asking anything.
    void SetHeader(const DocumentHeader& header);
    // The further button of that objectName, or nullptr.
    QPushButton* ActionButton(const QString& objectName) const;

    DateBox* DateField() const { return m_date; }
    NumberBox* NumberField() const { return m_number; }
    QLineEdit* DescriptionField() const { return m_descriptionBox; }
    QCheckBox* PrintBox() const { return m_print; }
    FieldForm* Extra() const { return m_extra; }
    DataGrid* Lines() const { return m_lines; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ResetHeader();
    void RunAction(const DocumentAction& action);
    void NumberLeft();
    void HeaderCommitted();
    void EditCell(int row, const QVariant& value);
    // Runs a user action as Guarded does; a FieldError also puts the focus into its field.
    bool Run(const std::function<void()>& action);
    void FocusField(const QString& key);

    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
    QList<QPushButton*> m_actions;
    int m_proposedNumber = 0;
    DateBox* m_date;
    NumberBox* m_number;
    QLineEdit* m_descriptionBox = nullptr;
    QCheckBox* m_print = nullptr;
    FieldForm* m_extra = nullptr;
    DataGrid* m_lines;
    QLabel* m_totals;
    QPushButton* m_change = nullptr;
    QPushButton* m_deleteLine;
};

// Shows the document window (or brings an open one to the front).
DocumentWindow* ShowDocumentWindow(WindowHost& host,
                                   std::shared_ptr<const DocumentDescription> description,
                                   const CommandRegistry* registry);

}  // namespace zodra::ui
