#include "purchasing/ReceiptEntry.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptLimits.h"
#include "stock/Lots.h"

namespace zodra::purchasing {

QString MergeQuestion() {
    return QStringLiteral("Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?");
}

QString DeleteLineQuestion(const QString& kind) {
    return kind == ArticleKind() ? QStringLiteral("Želite li izbrisati stavku artikla ?")
                                 : QStringLiteral("Želite li izbrisati stavku ambalaže ?");
}

namespace {

QString LineMissing() {
    return QStringLiteral("Nije pronađena stavka primke.");
}

}  // namespace

AcceptedLine AcceptArticleLine(Session& session, Prompter& prompter, const ReceiptTarget& target,
                               ReceiptRow row, CalculationMode mode, int lineNumber) {
    Database& db = session.Db();
    row.kind = ArticleKind();
    // Refused before any question is asked.
    CheckReceiptRow(row);
    if (target.IsPosted()) {
        if (mode == CalculationMode::Change) {
            ReplacePostedLine(session, target.number, lineNumber, row);
            return {lineNumber, false};
        }
        return {AddPostedLine(session, target.number, row), false};
    }
    if (mode == CalculationMode::Change) {
        Transaction transaction(db);
        const std::optional<ReceiptRow> old = receiptlines::Read(db, target, lineNumber);
        if (!old) {
            throw UserError(LineMissing());
        }
        row.lineNumber = lineNumber;
        receiptlines::Update(db, target, row);
        if (old->code == row.code) {
            receiptlines::AddPackagingOfArticle(db, target, row.code, row.quantity - old->quantity);
        } else {
            receiptlines::AddPackagingOfArticle(db, target, old->code, -old->quantity);
            receiptlines::AddPackagingOfArticle(db, target, row.code, row.quantity);
        }
        transaction.Commit();
        return {lineNumber, false};
    }
    // The question comes before the transaction; the working copy is this session's own, so
    // nothing can change it in between.
    bool merge = false;
    if (receiptlines::FindArticle(db, target, row.code)) {
        merge = prompter.AskYesNo(MergeQuestion(), QStringLiteral("Primka"), true);
    }
    Transaction transaction(db);
    AcceptedLine accepted;
    std::optional<ReceiptRow> existing =
        merge ? receiptlines::FindArticle(db, target, row.code) : std::nullopt;
    if (existing) {
        existing->Merge(row);
        receiptlines::Update(db, target, *existing);
        accepted = {existing->lineNumber, true};
    } else {
        row.lineNumber = receiptlines::NextLineNumber(db, target);
        receiptlines::Insert(db, target, row);
        accepted = {row.lineNumber, false};
    }
    receiptlines::AddPackagingOfArticle(db, target, row.code, row.quantity);
    transaction.Commit();
    return accepted;
}

void AddPackagingLine(Session& session, const ReceiptTarget& target, int packaging,
                      double quantity) {
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (target.IsPosted()) {
        AddPostedPackaging(session, target.number, packaging, quantity);
        return;
    }
    Database& db = session.Db();
    Transaction transaction(db);
    receiptlines::AddPackaging(db, target, packaging, quantity);
    transaction.Commit();
}

void DeleteReceiptLine(Session& session, const ReceiptTarget& target, int lineNumber) {
    if (target.IsPosted()) {
        DeletePostedLine(session, target.number, lineNumber);
        return;
    }
    Database& db = session.Db();
    Transaction transaction(db);
    const std::optional<ReceiptRow> row = receiptlines::Read(db, target, lineNumber);
    if (!row) {
        throw UserError(LineMissing());
    }
    receiptlines::Delete(db, target, lineNumber);
    if (row->kind == ArticleKind()) {
        receiptlines::AddPackagingOfArticle(db, target, row->code, -row->quantity);
    }
    transaction.Commit();
}

void RenumberReceiptLine(Session& session, const ReceiptTarget& target, int lineNumber,
                         const QString& typed) {
    bool ok = false;
    const int number = typed.trimmed().toInt(&ok);
    if (!ok) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    Database& db = session.Db();
    Transaction transaction(db);
    receiptlines::Renumber(db, target, lineNumber, number);
    transaction.Commit();
}

void ApplyReceiptSummary(Session& session, const ReceiptTarget& target,
                         const ReceiptSummary& summary) {
    if (target.IsPosted()) {
        ApplySummaryToPosted(session, target.number, summary);
        return;
    }
    CheckSummaryLimits(summary);
    Database& db = session.Db();
    Transaction transaction(db);
    ApplyPercentages(db, target,
                     PercentagesOf(summary, receiptlines::Totals(db, target).packagingValue),
                     summary.customsFromArticles);
    transaction.Commit();
}

void PrepareWorkingCopy(Session& session) {
    Database& db = session.Db();
    const int lines = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COUNT(\"BROJ_PRIMKE\") FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"Multiuser_sifra\" = ?"),
        {session.activeWarehouse.code, session.businessYear, session.sessionCode}));
    if (lines == 0) {
        Transaction transaction(db);
        stock::ResetFreeQuantities(db);
        transaction.Commit();
    }
}

void ClearWorkingReceipt(Session& session) {
    Database& db = session.Db();
    Transaction transaction(db);
    workingcopy::ClearWorkingCopy(db, DocumentKind::GoodsReceipt, session.sessionCode);
    transaction.Commit();
}

}  // namespace zodra::purchasing
