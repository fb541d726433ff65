#pragma once

#include "documents/DocumentKey.h"
#include "documents/LineStore.h"

namespace zodra::documents {

// The lines of a posted document: rows of its kind's line table under the document's key. They
// hold nothing on a lot: what a posted line took is already out of the lot's quantity, and the
// posting or the correction that writes it takes or returns the goods itself.
class PostedLines final : public LineStore {
public:
    PostedLines(Database& db, const DocumentKey& key);

    const DocumentKey& Key() const { return m_key; }

protected:
    QString Filter() const override;
    QVariantList FilterValues() const override;
    Columns OwnerColumns() const override;

private:
    DocumentKey m_key;
    QString m_numberColumn;
};

}  // namespace zodra::documents
