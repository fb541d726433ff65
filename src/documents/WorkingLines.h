#pragma once

#include <optional>

#include "data/DocumentKind.h"
#include "documents/LineStore.h"
#include "stock/Lots.h"

namespace zodra::documents {

// The lines of a document being drawn up: rows of its kind's working-copy table under the
// session code, with the warehouse and year they take from (the number comes at posting).
//
// Where the kind's lines take goods from a lot, an accepted line reserves its quantity from the
// lot's free quantity and a deleted one releases it, in the same transaction as the row: the
// free quantity stays the lot's quantity less what the working copies of open sessions hold
// (stock::HeldByWorkingCopies counts the same rows), so a second workstation sees at once what
// the first has put on its document. A line asking for more than the lot has free is refused
// with "Nedovoljna količina artikla " + name and nothing is written. Posting copies and deletes
// the rows without releasing them (workingcopy::PostWorkingLines): the reservation becomes the
// take.
class WorkingLines final : public LineStore {
public:
    WorkingLines(Database& db, DocumentKind kind, int sessionCode, int warehouse, int year);

protected:
    QString Filter() const override;
    QVariantList FilterValues() const override;
    Columns OwnerColumns() const override;
    void LineArrives(const DocumentLine& line) override;
    void LineLeaves(const DocumentLine& line) override;

private:
    int m_sessionCode;
    int m_warehouse;
    int m_year;
    std::optional<stock::HoldingTable> m_holding;
};

}  // namespace zodra::documents
