#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>

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

// What posting reports back.
struct PostResult {
    QVariant key;  // the posted document's key (its number)
    QString
        message;  // shown after posting, e.g. "Izdatnica je proknjižena pod brojem 8"; empty: none
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

    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
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
    DataGrid* Documents() const { return m_grid; }

private:
    WindowHost& m_host;
    std::shared_ptr<const DocumentDescription> m_description;
    DataGrid* m_grid;
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
