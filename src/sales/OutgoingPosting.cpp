#include "sales/OutgoingPosting.h"

#include <QDateTime>
#include <optional>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "sales/OutgoingPostingSteps.h"
#include "stock/LotTable.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

bool IsQuotation(const OutgoingDocument& document) {
    return document.kind == OutgoingKind::Offer || document.kind == OutgoingKind::ProForma;
}

bool Taken(Database& db, const OutgoingDocument& document, const InvoiceDraft& draft, int number) {
    return numbering::DocumentExists(db, document.documentKind, draft.warehouse, draft.year, number,
                                     draft.book.value_or(1));
}

QString Timestamp() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The number the document is posted under: the one shown while it is free, else the next.
int FinalNumber(Database& db, const OutgoingDocument& document, const InvoiceDraft& draft,
                int shown, bool& changed) {
    if (shown > 0 && !Taken(db, document, draft, shown)) {
        return shown;
    }
    const int number = ProposedOutgoingNumber(db, document, draft);
    changed = shown > 0;
    if (Taken(db, document, draft, number)) {
        throw UserError(document.numberTakenMessage);
    }
    return number;
}

// Offer and pro-forma: header and lines, nothing on the lots.
void PostQuotation(Session& session, const OutgoingDocument& document, const InvoiceDraft& draft,
                   const InvoiceHeader& header, const CheckedHeader& checked, int number) {
    Database& db = session.Db();
    for (const steps::WorkingArticle& line : steps::WorkingArticles(db, draft.sessionCode)) {
        if (line.lot) {
            stock::ReleaseToLot(db, {draft.warehouse, draft.year, *line.lot, line.article},
                                line.quantity);
        }
    }
    const QString table = Info(document.documentKind).headerTable;
    db.Exec(QStringLiteral("INSERT INTO \"") + table +
                QStringLiteral(
                    "\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", \"PLACENO\", "
                    "\"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA NAZIV\", "
                    "\"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"DATUM ISPORUKE\", "
                    "\"NACIN ISPORUKE\", \"ROBU PREUZEO\", \"NARUDZBENICA\", \"OTPREMNICA\", "
                    "\"ROK PLACANJA\", \"DOSPIJECE RACUNA\", \"NACIN PLACANJA\", "
                    "\"POZIV NA BROJ\", \"VEC PLACENO\", \"DODATNI TEKST\", \"ZIRO_RACUN\", "
                    "\"KORISNIK\", \"DATUM_I_VRIJEME_KNJIZENJA\") VALUES (?, ?, ?, ?, FALSE, ?, "
                    "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {draft.warehouse,
             *draft.book,
             draft.year,
             number,
             draft.date,
             *draft.customer,
             *draft.salesTerms,
             header.deliveryName,
             header.deliveryAddress,
             header.deliveryPlace,
             checked.deliveryDate ? QVariant(*checked.deliveryDate) : QVariant(),
             header.deliveryMethod,
             header.takenBy,
             header.orderNumber,
             header.deliveryNote,
             checked.paymentTerm,
             checked.dueDate,
             header.paymentMethod,
             header.paymentReference,
             checked.alreadyPaid,
             header.additionalText,
             header.bankAccount,
             session.userName,
             Timestamp()});
    workingcopy::PostWorkingLines(db, document.documentKind, number, draft.sessionCode,
                                  *draft.book);
    // The employee and extra-data rows belong to invoices only.
    for (const char* working :
         {"STAVKE_RACUNA_DJELATNICI_PRIVREMENO", "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(working) +
                    QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
                {draft.sessionCode});
    }
}

// Delivery note: the goods leave their lots as with an invoice whose book takes stock.
std::optional<int> PostDeliveryNote(Session& session, const InvoiceDraft& draft,
                                    const InvoiceHeader& header, const CheckedHeader& checked,
                                    int number) {
    Database& db = session.Db();
    const int terms = *draft.salesTerms;
    const InvoiceTotals totals = Totals(db, draft.sessionCode);
    std::vector<steps::WorkingArticle> articles = steps::WorkingArticles(db, draft.sessionCode);
    std::vector<double> leftAt;
    std::optional<int> priceChange;
    if (!articles.empty()) {
        stock::LotTable lots(db);
        const std::vector<steps::Repricing> repricings =
            steps::PlanRepricing(lots, draft, terms, articles, leftAt);
        if (!repricings.empty()) {
            priceChange = steps::WritePriceChange(session, lots, draft, std::nullopt, std::nullopt,
                                                  repricings);
        }
    }
    const documents::DocumentKey key{DocumentKind::DeliveryNote, draft.warehouse, std::nullopt,
                                     draft.year, number};
    std::optional<documents::IssuePosting> issue;
    if (!articles.empty()) {
        issue.emplace(session, key);
        steps::TakenRecords records;
        for (size_t i = 0; i < articles.size(); ++i) {
            const steps::WorkingArticle& line = articles[i];
            records.Add(line, issue->Take({line.article, line.quantity, line.lot}), leftAt[i]);
        }
        records.Write(db);
    }
    db.Exec(QStringLiteral(
                "INSERT INTO \"OTPREMNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_OTPREMNICE\", "
                "\"DATUM\", \"SIFRA_PARTNERA\", \"UVJET PRODAJE\", \"ISPORUKA NAZIV\", "
                "\"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\", \"DATUM ISPORUKE\", "
                "\"NACIN ISPORUKE\", \"ROBU PREUZEO\", \"NARUDZBENICA\", \"DODATNI TEKST\", "
                "\"IZMJENA_CIJENA\", \"RBR_TK\", \"KORISNIK\", \"DATUM_I_VRIJEME_KNJIZENJA\") "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {draft.warehouse, draft.year, number, draft.date, *draft.customer, terms,
             header.deliveryName, header.deliveryAddress, header.deliveryPlace,
             checked.deliveryDate ? QVariant(*checked.deliveryDate) : QVariant(),
             header.deliveryMethod, header.takenBy, header.orderNumber, header.additionalText,
             priceChange ? QVariant(*priceChange) : QVariant(),
             issue ? QVariant(issue->Position()) : QVariant(), session.userName, Timestamp()});
    workingcopy::PostWorkingLines(db, DocumentKind::DeliveryNote, number, draft.sessionCode);
    for (const char* table :
         {"STAVKE_RACUNA_DJELATNICI_PRIVREMENO", "STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
                {draft.sessionCode});
    }
    if (issue) {
        tradebook::Entry entry;
        entry.date = draft.date;
        entry.description = QStringLiteral("OTPREMNICA ") + QString::number(number) +
                            QLatin1Char(' ') + steps::CustomerName(db, *draft.customer);
        entry.salesValue = totals.articleValue;
        entry.salesTax = totals.articleTax;
        issue->Finish(entry);
    } else {
        stock::CheckStockAgainstCard(session);
    }
    return priceChange;
}

}  // namespace

int ProposedOutgoingNumber(Database& db, const OutgoingDocument& document,
                           const InvoiceDraft& draft) {
    switch (document.kind) {
        case OutgoingKind::Invoice:
            return ProposedNumber(db, draft);
        case OutgoingKind::Offer:
        case OutgoingKind::ProForma:
            return numbering::NextDocumentNumber(db, document.documentKind, draft.warehouse,
                                                 draft.year, draft.book.value_or(1));
        case OutgoingKind::DeliveryNote:
            break;
    }
    return numbering::NextDocumentNumber(db, DocumentKind::DeliveryNote, draft.warehouse,
                                         draft.year);
}

InvoiceHeader ProposeOutgoingHeader(Session& session, const OutgoingDocument& document,
                                    const InvoiceDraft& draft) {
    InvoiceHeader header = ProposeHeader(session, draft);
    header.number = ProposedOutgoingNumber(session.Db(), document, draft);
    return header;
}

int CheckOutgoingNumber(Database& db, const OutgoingDocument& document, const InvoiceDraft& draft,
                        const QString& typed) {
    if (document.kind == OutgoingKind::Invoice) {
        return CheckInvoiceNumber(db, draft, typed);
    }
    bool ok = false;
    const int number = typed.trimmed().toInt(&ok);
    if (!ok || number < 0) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (Taken(db, document, draft, number)) {
        throw UserError(document.numberTakenMessage);
    }
    return number;
}

CheckedHeader CheckOutgoingHeader(const OutgoingDocument& document, const InvoiceHeader& header) {
    if (document.kind != OutgoingKind::DeliveryNote) {
        return CheckHeader(header);
    }
    // The note has no account, term or due date of its own: those boxes pass the checks.
    InvoiceHeader checked = header;
    checked.bankAccount = QStringLiteral("-");
    checked.paymentTerm = QStringLiteral("0");
    checked.dueDate = QStringLiteral("2000-01-01");
    if (checked.alreadyPaid.trimmed().isEmpty()) {
        checked.alreadyPaid = QStringLiteral("0");
    }
    return CheckHeader(checked);
}

QString OutgoingPostedMessage(const OutgoingDocument& document, int number) {
    return document.postedMessage + QString::number(number);
}

PostedInvoice PostOutgoing(Session& session, const OutgoingDocument& document,
                           const InvoiceDraft& draft, const InvoiceHeader& header) {
    if (document.kind == OutgoingKind::Invoice) {
        return PostInvoice(session, draft, header);
    }
    CheckReadyForLines(draft);
    CheckSalesTerms(session, *draft.salesTerms);
    limits::RequireDocumentDate(draft.date, draft.year, QStringLiteral("Datum"));
    const CheckedHeader checked = CheckOutgoingHeader(document, header);
    Database& db = session.Db();
    if (Totals(db, draft.sessionCode).lines == 0) {
        throw UserError(document.noLinesMessage);
    }

    Transaction transaction(db);
    steps::CheckWorkingNumbers(db, draft.sessionCode);
    if (Totals(db, draft.sessionCode).lines == 0) {
        throw UserError(document.noLinesMessage);
    }
    PostedInvoice posted;
    posted.number = FinalNumber(db, document, draft, header.number, posted.numberChanged);
    if (IsQuotation(document)) {
        PostQuotation(session, document, draft, header, checked, posted.number);
    } else {
        posted.priceChange = PostDeliveryNote(session, draft, header, checked, posted.number);
    }
    transaction.Commit();
    return posted;
}

}  // namespace zodra::sales
