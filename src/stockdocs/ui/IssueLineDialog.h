#pragma once

#include <QDialog>

#include "data/DocumentKind.h"

class QComboBox;
class QLabel;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::stockdocs::ui {

// "Upis artikla" of the five simple stock documents: the article (by group, code or barcode),
// its lot from the lots with stock ("Primka :", with the lot's free quantity beside it) and the
// quantity ("Količina :"). Leaving the quantity checks it against the lot: a document that takes
// goods out cuts a quantity above the free one ("Nedovoljna zaliha artikla. Količina će biti
// postavljena na najveću dopuštenu vrijednost."), a return note, which puts goods back, cuts a
// negative one that would take the lot below zero ("Količina artikla bi pala ispod nule.").
// "Prihvati" writes the line and waits for the next one; "Odustani" closes (accepted when a line
// was written).
class IssueLineDialog : public QDialog {
    Q_OBJECT
public:
    IssueLineDialog(zodra::ui::WindowHost& host, DocumentKind kind, QWidget* parent);

    int LinesWritten() const { return m_written; }
    // "Prihvati": true when a line was written.
    bool AcceptLine();

    registers::ui::ArticlePicker* Picker() const { return m_picker; }
    QComboBox* Lots() const { return m_lot; }
    zodra::ui::NumberBox* Quantity() const { return m_quantity; }
    QLabel* Stock() const { return m_stock; }

private:
    void ArticleChosen();
    void LotChosen();
    void QuantityLeft();

    zodra::ui::WindowHost& m_host;
    DocumentKind m_kind;
    registers::ui::ArticlePicker* m_picker;
    QComboBox* m_lot;
    QLabel* m_stock;
    zodra::ui::NumberBox* m_quantity;
    int m_written = 0;
};

}  // namespace zodra::stockdocs::ui
