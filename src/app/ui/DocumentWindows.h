#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/ui/FieldForm.h"
#include "data/TableData.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zodra {
class Session;
}

namespace zodra::ui {

class CommandRegistry;
class DataGrid;
class DateBox;
class NumberBox;
class WindowHost;

// What the document window collects in its header.
struct DocumentHeader {
    QDate date;
    int number = 0;       // the number box (proposed, or typed after "Upis broja")
    QString description;  // "Opis"
    bool print = false;   // "Ispis dokumenta"
    QVariantMap extra;    // the further header fields, by key
};

// What posting reports back. A result without a key means the document was not posted (the
// user answered No to one of its questions): no message, and the window stays as it is. (A
// refusal of a field is a FieldError: its message is shown and the focus goes to the field.)
struct PostResult {
    QVariant key;  // the posted document's key (its number)
    QString
        message;  // shown after posting, e.g. "Izdatnica je proknjižena pod brojem 8"; empty: none
};

// A further button of the document window ("Ambalaža", "Zbirni p.", "Ispis" …).
struct DocumentAction {
    QString caption;     // "&Ambalaža"
    QString objectName;  // "Ambalaza"
    // Runs it; true when the lines changed (the grid and totals are read again).
    std::function<bool(WindowHost&, QWidget* parent)> run;
    bool addsLines = false;  // checkBeforeLines applies first
};

// A further button of the list of posted documents, run on the selected document.
struct ListAction {
    QString caption;     // "&Ispravak"
    QString objectName;  // "Ispravak"
    std::function<void(WindowHost&, const QVariant& key)> run;
    bool reloads = false;  // the list is read again afterwards
};

// A stock document as its windows see it: captions, the header fields, and the core operations
// behind the three windows every document has — the document window (header, the grid of this
// session's working lines, add/change/delete line, post), the list of posted documents (open,
// delete, cancel, print) and the view of one posted document. A new document kind is a
// description, not a copy of a window. Every refusal is a UserError with its message.
struct DocumentDescription {
    // The document window.
    QString command;                // control name, e.g. "Knjizenje_izdatnica"
    QString caption;                // "Izdatnica"
    QList<FieldSpec> headerFields;  // further header fields (supplier, supplier's document …)
    bool hasDescription = true;     // the "Opis" box
    bool hasPrintBox = true;        // the "Ispis dokumenta" box
    bool closeAfterPost = false;    // otherwise the window stays for the next document
    std::function<int(Session&)> nextNumber;           // the number proposed
    std::function<void(Session&)> prepareWorkingCopy;  // when the window opens (may be null)
    std::function<TableData(Session&)> workingLines;   // the session's working lines
    // Opens the line window; true when the lines changed.
    std::function<bool(WindowHost&, QWidget* parent)> addLine;
    std::function<bool(WindowHost&, QWidget* parent, int row)> changeLine;  // may be null
    std::function<void(Session&, int row)> deleteLine;  // a row of workingLines()
    std::function<QString(Session&)> totals;            // text under the grid (may be null)
    // Posts: questions before the transaction, then one transaction (core). Refusals are
    // UserErrors; the working copy stays as it was.
    std::function<PostResult(WindowHost&, const DocumentHeader&)> post;
    std::function<void(WindowHost&, const QVariant& key)> print;  // may be null
    std::function<void(Session&)> clearWorkingCopy;
    // Asked (Yes/No, No the default) when the window is closed with working lines; Yes clears
    // the working copy.
    QString abandonQuestion;

    // The list of posted documents.
    QString listCommand;                                 // "Pregledi_izdatnice"
    QString listCaption;                                 // "Izdatnice"
    std::function<TableData(Session&)> postedDocuments;  // one row per document
    int keyColumn = 0;                                   // the column with the key
    // The view of one posted document: caption postedCaption + key ("Izdatnica br." + 8).
    QString postedCaption;
    std::function<QString(Session&, const QVariant& key)> postedSummary;  // header text
    std::function<TableData(Session&, const QVariant& key)> postedLines;
    // Deleting (question first, Yes/No with No the default, then the core deletion).
    QString deleteQuestion;  // "Želite li izbrisati izdatnicu!"; empty: no deletion
    QString deleteTitle;
    std::function<void(WindowHost&, const QVariant& key)> deletePosted;
    // Cancelling by a negating document (may be null).
    QString cancelQuestion;
    std::function<void(WindowHost&, const QVariant& key)> cancelPosted;

    // --- Further options of the document window (each may be left out) ---
    QString addLineCaption;         // default "&Dodaj stavku"
    QString changeLineCaption;      // default "&Promjena"
    QString deleteLineCaption;      // default "&Brisanje stavke"
    QList<DocumentAction> actions;  // further buttons after the line buttons
    // Asked (Yes/No, No the default) before a line of the grid is deleted; empty: no question.
    std::function<QString(Session&, int row)> deleteLineQuestion;
    // Checked before a line is added (a supplier must be chosen first …). A refusal is shown
    // (a FieldError puts the focus into its field) and no line window opens.
    std::function<void(const DocumentHeader&)> checkBeforeLines;
    // The header as the window opens, instead of today's date and the proposed number (e.g. a
    // posted document opened for correction).
    std::function<std::optional<DocumentHeader>(Session&)> initialHeader;
    // A header field was changed by the user and left (the date, a typed number that passed
    // checkNumber, a further field): e.g. a document under correction writes it at once. A
    // refusal is shown; a FieldError puts the focus back into its field.
    std::function<void(WindowHost&, const DocumentHeader&)> headerChanged;
    bool numberEditable = true;  // "Upis broja"
    // A number typed after "Upis broja" is checked when its box is left; a refusal is shown,
    // the proposed number comes back and the box keeps the focus.
    std::function<void(Session&, const QString& typed)> checkNumber;
    // The number box's message for text that is not a number (default: the kit's own).
    QString numberInvalidMessage;
    // One column of the grid may be edited in place (e.g. the line number); editing another
    // shows readOnlyCellMessage. editCell writes the value; a refusal is shown.
    int editableColumn = -1;
    std::function<void(Session&, int row, const QVariant& value)> editCell;
    QString readOnlyCellMessage;

    // --- Further options of the list of posted documents ---
    // Shown under the list for the selected document (its date, partner …).
    std::function<QString(Session&, const QVariant& key)> listDetails;
    // Shown under the list for all documents (sums).
    std::function<QString(Session&)> listTotals;
    QList<ListAction> listActions;  // further buttons (correction, another print …)
    QString cancelTitle;            // title of the cancel question (default: listCaption)
    // A table view of all documents with their sums ("Primke"), opened from the list.
    QString tableCaption;
    std::function<TableData(Session&)> tableRows;
    std::function<QString(Session&)> tableTotals;
};

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

class PostedDocumentsWindow : public QWidget {
    Q_OBJECT
public:
    PostedDocumentsWindow(WindowHost& host, std::shared_ptr<const DocumentDescription> description,
                          QWidget* parent = nullptr);
    void Reload();
    QVariant CurrentKey() const;
    void OpenCurrent();
    void DeleteCurrent();
    void CancelCurrent();
    void PrintCurrent();
    // Opens the table view (tableCaption) of all documents.
    void OpenTable();
    DataGrid* Documents() const { return m_grid; }
    QLabel* Details() const { return m_details; }
    QLabel* Totals() const { return m_totals; }

private:
    void ShowDetails();

    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
    DataGrid* m_grid;
    QLabel* m_details = nullptr;
    QLabel* m_totals = nullptr;
};

// A read-only table with a line of totals under it (the table view of a list of documents).
class DocumentTableView : public QWidget {
    Q_OBJECT
public:
    DocumentTableView(WindowHost& host, std::shared_ptr<const DocumentDescription> description,
                      QWidget* parent = nullptr);
    DataGrid* Table() const { return m_grid; }
    QLabel* Totals() const { return m_totals; }

private:
    DataGrid* m_grid;
    QLabel* m_totals;
};

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

DocumentWindow* ShowDocumentWindow(WindowHost& host,
                                   std::shared_ptr<const DocumentDescription> description,
                                   const CommandRegistry* registry);
PostedDocumentsWindow* ShowPostedDocuments(WindowHost& host,
                                           std::shared_ptr<const DocumentDescription> description);
// Binds the document's command and its list command in the registry.
void BindDocument(CommandRegistry& registry,
                  std::shared_ptr<const DocumentDescription> description);

}  // namespace zodra::ui
