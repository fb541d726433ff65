#include "purchasing/ReceiptPosting.h"

#include <iterator>
#include <utility>

#include "data/Database.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "purchasing/ReceiptLimits.h"
#include "reports/ValueFormat.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::purchasing {

void CheckSupplierDocument(const QString& typed) {
    if (typed.size() > kSupplierDocumentLength) {
        throw FieldRefusal(SupplierDocumentField(),
                           QStringLiteral("Dokument dobavljača je duži od 20 znakova"));
    }
    if (typed.trimmed().isEmpty()) {
        throw FieldRefusal(SupplierDocumentField(),
                           QStringLiteral("Dokument dobavljača mora biti upisan"));
    }
}

int CheckReceiptNumber(Database& db, int warehouse, int year, const QString& typed, int type) {
    bool ok = false;
    const QString text = typed.trimmed();
    // Read in 64 bits: a number beyond the integer range is out of the receipt's range, not
    // "not a number".
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number < 0) {
        throw FieldRefusal(NumberField(), QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (number == 0) {
        throw FieldRefusal(NumberField(), QStringLiteral("Broj primke nesmije biti 0 (nula) !"));
    }
    const numbering::NumberRange range = numbering::ReceiptNumberRange(type);
    if (number < range.first || number > range.last) {
        throw FieldRefusal(NumberField(), numbering::ReceiptNumberRangeMessage(type));
    }
    if (numbering::DocumentExists(db, DocumentKind::GoodsReceipt, warehouse, year,
                                  static_cast<int>(number))) {
        throw FieldRefusal(NumberField(),
                           QStringLiteral("Primka pod ovim brojem je već napravljena !"));
    }
    return static_cast<int>(number);
}

void CheckReadyForLines(const ReceiptHeaderData& header) {
    if (!header.supplier || *header.supplier <= 0) {
        throw FieldRefusal(SupplierField(), QStringLiteral("Nije izabran dobavljač !"));
    }
    if (header.supplierDocument.trimmed().isEmpty()) {
        throw FieldRefusal(SupplierDocumentField(),
                           QStringLiteral("Dokument dobavljača mora biti upisan"));
    }
}

QString CurrencyText(double amount, const QString& currencyName) {
    return reports::ValueFormat(currencyName).Format(amount, QStringLiteral("Currency"));
}

QString ControlTotalsTitle() {
    return QStringLiteral("Knjiženje primke");
}

QStringList ControlTotalQuestions(const ReceiptSummary& s, const ReceiptTotals& t,
                                  const QString& currencyName) {
    const QString tail = QStringLiteral(
        ") po artiklima. ŽELITE LI PROKNJIŽITI PRIMKU UNATOČ "
        "RAZLIKAMA?");
    QStringList questions;
    auto compare = [&](double entered, double sum, const QString& head, const QString& middle) {
        // Left at 0 means not entered: no control.
        if (RoundMoney(entered) == 0.0 || MoneyEqual(entered, sum)) {
            return;
        }
        questions << head + CurrencyText(entered, currencyName) + middle +
                         CurrencyText(sum, currencyName) + tail;
    };
    compare(s.invoiceValue, t.invoiceValue, QStringLiteral("Ukupna fakturna vrijednost ("),
            QStringLiteral(") nije jednaka zbroju fakturnih vrijednosti ("));
    compare(s.discount, t.discount, QStringLiteral("Ukupni iznos rabata ("),
            QStringLiteral(") nije jednak zbroju iznosa rabata ("));
    compare(s.customs, t.customs, QStringLiteral("Ukupni iznos carine ("),
            QStringLiteral(") nije jednak zbroju iznosa carina ("));
    compare(s.forwarding, t.forwarding, QStringLiteral("Ukupni iznos špedicije ("),
            QStringLiteral(") nije jednak zbroju iznosa špedicije ("));
    compare(s.otherCosts, t.otherCosts, QStringLiteral("Ukupni dodatni zavisni troškovi ("),
            QStringLiteral(") nisu jednaki zbroju dodatnih zavisnih troškova ("));
    return questions;
}

QString PostedMessage(int number) {
    return QStringLiteral("Primka je proknjižena pod brojem ") + QString::number(number);
}

QString TradeBookDescription(int number, const QString& supplierDocument) {
    return QStringLiteral("PRIMKA ") + QString::number(number) + QLatin1Char(' ') +
           supplierDocument;
}

std::optional<int> PostReceipt(Session& session, Prompter& prompter,
                               const ReceiptHeaderData& header,
                               const std::optional<ReceiptSummary>& summary) {
    CheckSupplierDocument(header.supplierDocument);
    CheckReadyForLines(header);
    if (!header.date.isValid()) {
        throw UserError(
            QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    }
    CheckHeaderLimits(header, session.businessYear);
    if (summary) {
        CheckSummaryLimits(*summary);
    }
    Database& db = session.Db();
    const ReceiptTarget working = ReceiptTarget::WorkingCopy(session);
    const ReceiptTotals totals = receiptlines::Totals(db, working);
    if (totals.lines == 0) {
        throw UserError(QStringLiteral("Primka nema niti jedne stavke !"));
    }
    PostingExtras extras;
    if (summary) {
        // Every question is asked before the transaction begins.
        for (const QString& question :
             ControlTotalQuestions(*summary, totals, CurrencyName(db, 1))) {
            if (!prompter.AskYesNo(question, ControlTotalsTitle(), false)) {
                return std::nullopt;
            }
        }
        extras.currency = summary->currency;
        extras.rateDate = summary->IsForeign() ? summary->rateDate : QDate();
        extras.items = summary->items;
    }
    return PostWorkingReceipt(session, header, session.stockMethod, session.sessionCode, extras);
}

int PostWorkingReceipt(Session& session, const ReceiptHeaderData& header, StockMethod method,
                       int sessionCode, const PostingExtras& extras) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    // The last guard of whatever reaches the books: header, items and every line within the
    // input limits, whoever wrote the working copy.
    CheckHeaderLimits(header, y);
    CheckDependentCosts(extras.items);
    Transaction transaction(db);
    const ReceiptTarget working{w, y, 0, sessionCode};
    const ReceiptTotals totals = receiptlines::Totals(db, working);
    if (totals.lines == 0) {
        throw UserError(QStringLiteral("Primka nema niti jedne stavke !"));
    }
    // A missing number reads as 0, so the columns the lots and the card are built from are
    // asked for NULL first, all in one statement, and named in this order.
    const std::pair<QString, QString> required[] = {
        {QStringLiteral("KOLICINA"), QStringLiteral("Količina")},
        {QStringLiteral("NABAVNA_CIJENA"), QStringLiteral("Nabavna cijena")},
        {QStringLiteral("NABAVNA_VRIJEDNOST"), QStringLiteral("Nabavna vrijednost")},
        {QStringLiteral("CIJENA"), QStringLiteral("Cijena")},
        {QStringLiteral("VRIJEDNOST"), QStringLiteral("Vrijednost")}};
    QString missing;
    for (const auto& [column, what] : required) {
        missing += (missing.isEmpty() ? QStringLiteral("SELECT ") : QStringLiteral(", ")) +
                   QStringLiteral("COUNT(*) - COUNT(\"") + column + QStringLiteral("\")");
    }
    Statement nulls = db.Prepare(missing + QStringLiteral(" FROM \"STAVKE_PRIMKE_PRIVREMENO\" "
                                                          "WHERE \"Multiuser_sifra\" = ?"));
    nulls.Exec({sessionCode});
    if (nulls.Next()) {
        for (int i = 0; i < int(std::size(required)); ++i) {
            if (nulls.Int(i) > 0) {
                throw UserError(limits::NotANumberMessage(required[i].second));
            }
        }
    }
    nulls.Finish();
    for (const ReceiptRow& row : receiptlines::Read(db, working)) {
        CheckReceiptRow(row);
    }
    limits::RequireNumber(totals.articleValue, limits::NumberKind::Amount,
                          QStringLiteral("Vrijednost primke"));
    // The number shown may have been taken by another workstation since: then the next free
    // number of the receipt's type.
    int number = header.number;
    if (number <= 0 || numbering::DocumentExists(db, DocumentKind::GoodsReceipt, w, y, number)) {
        number = numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, w, y, header.type);
    }
    // A receipt without article lines moves no stock and writes no trade-book entry, so it has
    // no position either.
    const bool moves = totals.articleLines > 0;
    const QVariant position =
        moves ? QVariant(tradebook::NextBookNumber(db, tradebook::Book::Wholesale, w, y))
              : QVariant();
    db.Exec(
        QStringLiteral(
            "INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", \"DATUM\", "
            "\"SIFRA DOBAVLJACA\", \"DOKUMENT DOBAVLJACA\", \"DATUM DOKUMENTA DOBAVLJACA\", "
            "\"RBR_TK\", \"SkladisnaMetoda\", \"VALUTA\", \"DATUM_VALUTE\", \"TIP_PRIMKE\", "
            "\"STORNO_ZA_PRIMKU\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {w, y, number, header.date, header.supplier ? QVariant(*header.supplier) : QVariant(),
         header.supplierDocument,
         header.supplierDocumentDate.isValid() ? QVariant(header.supplierDocumentDate) : QVariant(),
         position, StockMethodText(method), extras.currency > 0 ? extras.currency : 1,
         extras.rateDate.isValid() ? QVariant(extras.rateDate) : QVariant(), header.type,
         extras.cancels ? QVariant(*extras.cancels) : QVariant()});
    if (moves) {
        tradebook::Entry entry;
        entry.warehouse = w;
        entry.year = y;
        entry.type = QStringLiteral("PRIMKA");
        entry.documentNumber = number;
        entry.date = header.date;
        entry.description = TradeBookDescription(number, header.supplierDocument);
        entry.purchaseValue = totals.articleValue;
        tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry, position.toInt());
    }
    // The lines in column order under the final number, with their articles' tax groups; the
    // working copy is cleared in the same transaction.
    workingcopy::PostWorkingLines(db, DocumentKind::GoodsReceipt, number, sessionCode);
    if (moves) {
        stock::PostReceiptIntoLots(db, {w, y, number});
    }
    WriteDependentCosts(db, w, y, number, extras.items);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return number;
}

}  // namespace zodra::purchasing
