#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "data/DocumentKind.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/TransferLines.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Transfers and the five simple stock documents from a file (docs/stock-documents-json.md),
// posted through the same working copy, line entry and posting as their windows, each in one
// transaction: a refusal leaves nothing, not even working lines.
namespace zodra::stockdocs {

// "meduskladisnica" for a transfer; the five use IssueDocumentTexts::word.
QString TransferWord();

struct JsonTransfer {
    int warehouse = 0;
    TransferHeaderData header;
    std::vector<TransferLineEntry> lines;
};

struct JsonIssueDocument {
    DocumentKind kind = DocumentKind::IssueNote;
    int warehouse = 0;
    IssueHeaderData header;
    std::vector<IssueLineEntry> lines;
};

// The kind a file's "vrsta" names among the five, if it names one of them.
std::optional<DocumentKind> IssueKindOfWord(const QString& word);

// Read the file against the company (warehouse, destination, supplier and articles must
// exist); a file that does not read is refused with a message naming the field and the line.
JsonTransfer ParseTransferJson(Database& db, const QByteArray& json);
JsonIssueDocument ParseIssueDocumentJson(Database& db, const QByteArray& json);

// Post in the session's warehouse (started in the file's warehouse) through a working copy of
// their own session code. Return the transfer posted / the number posted.
documents::PostedTransfer PostTransferFromJson(Session& session, const JsonTransfer& transfer);
int PostIssueDocumentFromJson(Session& session, const JsonIssueDocument& document);

}  // namespace zodra::stockdocs
