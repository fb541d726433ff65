#pragma once

#include "ui/DocumentController.h"

namespace zodra::stockdocs::ui {

// "Inventura" (frmInventura): the number ("Inventura br. :"), the date, the lots of the count
// prepared when the window opened (OpenStockCount asks how) with only the counted quantity
// edited in the grid, the totals at cost and at selling price, "Ispis" (the count in progress),
// "Inventurna l." (the list to count by), "Proknjiži" and "Ispis dokumenta". The window closes
// after posting: the next count is prepared from the lots anew.
class StockCountController : public zodra::ui::DocumentController {
public:
    static QString CommandName();  // "Knjizenje_inventura"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    bool HasDescription() const override { return false; }
    QString NumberLabel() const override;
    QString NumberInvalidMessage() const override;
    bool HasLineButtons() const override { return false; }
    QList<zodra::ui::DocumentAction> Actions() const override;
    int EditableColumn() const override;
    QString ReadOnlyCellMessage() const override;
    bool CanPost() const override { return true; }
    bool CloseAfterPost() const override { return true; }

    int NextNumber(Session& session) override;
    void CheckNumber(Session& session, const QString& typed) override;
    TableData WorkingLines(Session& session) override;
    QString Totals(Session& session) override;
    bool AddLine(zodra::ui::WindowHost& host, QWidget* parent,
                 const zodra::ui::DocumentHeader& header) override;
    void DeleteLine(Session& session, int row) override;
    void EditCell(Session& session, int row, const QVariant& value) override;
    // "Barkod :": "barcode" or "quantity*barcode" (a code will do) adds to the article's
    // counted quantity at once (StockCountEntry.h).
    QString CodeEntryLabel() const override;
    QVariant EnterCode(Session& session, const QString& typed) override;
    bool RunAction(const QString& objectName, zodra::ui::WindowHost& host, QWidget* parent,
                   const zodra::ui::DocumentHeader& header) override;
    zodra::ui::PostResult Post(zodra::ui::WindowHost& host,
                               const zodra::ui::DocumentHeader& header) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    void ClearWorkingCopy(Session& session) override;
};

}  // namespace zodra::stockdocs::ui
