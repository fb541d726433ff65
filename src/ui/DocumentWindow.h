#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/DocumentController.h"

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
// line, "Upis broja", "Proknjiži"; closing with lines asks first. Everything it shows and does
// comes from its controller, which it owns.
class DocumentWindow : public QWidget {
    Q_OBJECT
public:
    DocumentWindow(WindowHost& host, std::unique_ptr<DocumentController> controller,
                   const CommandRegistry* registry, QWidget* parent = nullptr);
    ~DocumentWindow() override;

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
    // The further grid of that index (DocumentController::FurtherPanels), or nullptr.
    DataGrid* FurtherGrid(int index) const { return m_further.value(index); }
    // The scanner box (DocumentController::CodeEntryLabel), or nullptr.
    QLineEdit* CodeField() const { return m_code; }
    // Enter in the scanner box.
    void EnterCode();
    // The controller the window was built around.
    DocumentController* Controller() const { return m_controller.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ResetHeader();
    void RunAction(const DocumentAction& action);
    void ShowReadOnlyCell();
    void NumberLeft();
    void HeaderCommitted();
    void EditCell(int row, const QVariant& value);
    // Runs a user action as Guarded does; a FieldError also puts the focus into its field.
    bool Run(const std::function<void()>& action);
    void FocusField(const QString& key);

    WindowHost& m_host;
    std::unique_ptr<DocumentController> m_controller;
    QString m_caption;  // the title of its messages
    QList<QPushButton*> m_actions;
    int m_proposedNumber = 0;
    DateBox* m_date;
    NumberBox* m_number;
    QLineEdit* m_descriptionBox = nullptr;
    QCheckBox* m_print = nullptr;
    FieldForm* m_extra = nullptr;
    QLineEdit* m_code = nullptr;
    DataGrid* m_lines;
    QList<DataGrid*> m_further;
    QLabel* m_totals;
    QPushButton* m_change = nullptr;
    QPushButton* m_deleteLine;
};

// Shows the document window of the controller (or brings an open one of its command to the
// front; the controller then goes).
DocumentWindow* ShowDocumentWindow(WindowHost& host, std::unique_ptr<DocumentController> controller,
                                   const CommandRegistry* registry);

}  // namespace zodra::ui
