#include "assets/FixedAssetRegister.h"

#include <algorithm>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::assets {

namespace {

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

const QString kColumns = QStringLiteral(
    "\"Redni broj\", \"Naziv stvari\", \"Isprava broj/nadnevak\", \"Nabavna vrijednost\", "
    "\"Knjigovodstvena vrijednost\", \"Skupina\", \"Stopa otpisa\", \"Svota otpisa\", "
    "\"Knjigovodstvena vrijednost na kraju godine\"");

bool TextFits(const QString& text, int maxLength) {
    return !text.trimmed().isEmpty() && text.size() <= maxLength;
}

void ReadRows(Database& db, AssetTable table, int year, std::vector<FixedAsset>& rows) {
    Statement s(db, QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM ") +
                        Quoted(TableName(table)) +
                        QStringLiteral(" WHERE \"Godina\" = ? ORDER BY \"Redni broj\""));
    s.Exec({year});
    while (s.Next()) {
        FixedAsset a;
        a.table = table;
        a.number = s.Int(0);
        a.name = s.Text(1);
        a.document = s.Text(2);
        a.purchaseValue = s.Double(3);
        a.bookValue = s.Double(4);
        a.group = s.Text(5);
        a.rate = s.Double(6);
        a.depreciation = s.Double(7);
        a.yearEndValue = s.Double(8);
        rows.push_back(a);
    }
}

QVariantList Values(const FixedAsset& a) {
    return {a.number, a.name, a.document,     a.purchaseValue, a.bookValue,
            a.group,  a.rate, a.depreciation, a.yearEndValue};
}

void Require(const FixedAsset& asset) {
    if (const auto fault = CheckAsset(asset)) {
        throw UserError(*fault);
    }
}

}  // namespace

QString TableName(AssetTable table) {
    return table == AssetTable::Current ? QStringLiteral("POPIS_DUGOTRAJNE_IMOVINE_REV1")
                                        : QStringLiteral("POPIS_DUGOTRAJNE_IMOVINE");
}

QString NameMessage() {
    return QStringLiteral("Naziv stvari je duži od 100 znakova ili nije upisan!");
}
QString DocumentMessage() {
    return QStringLiteral("Isprava broj/nadnevak je duži od 50 znakova ili nije upisan!");
}
QString GroupMessage() {
    return QStringLiteral("Skupina je duža od 50 znakova ili nije upisana!");
}
QString NameTooLongMessage() {
    return QStringLiteral("Naziv nesmije biti duži od 100 znakova.");
}
QString DocumentTooLongMessage() {
    return QStringLiteral("Isprava nesmije biti duža od 50 znakova.");
}
QString GroupTooLongMessage() {
    return QStringLiteral("Skupina nesmije biti duža od 50 znakova.");
}
QString InvalidNumberMessage() {
    return QStringLiteral("Nije ispravno upisan broj !");
}
QString MonthsMessage() {
    return QStringLiteral(
        "Broj mjeseci mora biti između 0 i 12. Broj mjeseci će biti postavljen na nulu.");
}
QString DuplicateMessage() {
    return QStringLiteral("Dugotrajna imovina pod ovim rednim brojem je već upisana !");
}
QString DeletedMessage() {
    return QStringLiteral("Ova stavka je u međuvremenu obrisana.");
}
QString YearEndMessage() {
    return QStringLiteral(
        "Knjigovodstvena vrijednost na kraju godine mora biti jednaka knjigovodstvenoj "
        "vrijednosti umanjenoj za svotu otpisa!");
}
QString DeleteQuestion() {
    return QStringLiteral("Želite li obrisati stavku?");
}
QString ListCaption() {
    return QStringLiteral("Popis dugotrajne imovine");
}
QString EntryCaption() {
    return QStringLiteral("Upis dugotrajne imovine");
}

Depreciation ComputeDepreciation(double purchaseValue, double bookValue, double rate, int months) {
    const double raw = purchaseValue * rate * months / 1200.0;
    if (!std::isfinite(raw) || !std::isfinite(bookValue)) {
        return {0, RoundMoney(std::isfinite(bookValue) ? bookValue : 0)};
    }
    const double amount = RoundMoney(std::clamp(raw, 0.0, std::max(RoundMoney(bookValue), 0.0)));
    return {amount, RoundMoney(RoundMoney(bookValue) - amount)};
}

std::optional<QString> CheckAsset(const FixedAsset& a) {
    if (!TextFits(a.name, kMaxNameLength)) {
        return NameMessage();
    }
    if (!TextFits(a.document, kMaxDocumentLength)) {
        return DocumentMessage();
    }
    if (!TextFits(a.group, kMaxGroupLength)) {
        return GroupMessage();
    }
    for (const auto& [text, what] : {std::pair{a.name, QStringLiteral("Naziv stvari")},
                                     std::pair{a.document, QStringLiteral("Isprava broj/nadnevak")},
                                     std::pair{a.group, QStringLiteral("Skupina")}}) {
        if (auto fault = limits::CheckText(text, what)) {
            return fault;
        }
    }
    if (a.number <= 0 || a.number > kMaxAssetNumber) {
        return InvalidNumberMessage();
    }
    using limits::NumberKind;
    const std::pair<double, QString> values[] = {
        {a.purchaseValue, QStringLiteral("Nabavna vrijednost")},
        {a.bookValue, QStringLiteral("Knjigovodstvena vrijednost")},
        {a.depreciation, QStringLiteral("Svota otpisa")},
        {a.yearEndValue, QStringLiteral("Knjigovodstvena vrijednost na kraju godine")},
    };
    for (const auto& [value, what] : values) {
        if (auto fault = limits::CheckNumber(value, NumberKind::Price, what)) {
            return fault;
        }
    }
    if (auto fault =
            limits::CheckNumber(a.rate, NumberKind::TaxRate, QStringLiteral("Stopa otpisa"))) {
        return fault;
    }
    if (!MoneyEqual(a.bookValue - a.depreciation, a.yearEndValue)) {
        return YearEndMessage();
    }
    return std::nullopt;
}

int NextAssetNumber(Database& db, int year) {
    const qint64 highest =
        std::max(db.Scalar(QStringLiteral("SELECT MAX(\"Redni broj\") FROM "
                                          "\"POPIS_DUGOTRAJNE_IMOVINE_REV1\" WHERE \"Godina\" = ?"),
                           {year})
                     .toLongLong(),
                 db.Scalar(QStringLiteral("SELECT MAX(\"Redni broj\") FROM "
                                          "\"POPIS_DUGOTRAJNE_IMOVINE\" WHERE \"Godina\" = ?"),
                           {year})
                     .toLongLong());
    if (highest >= kMaxAssetNumber) {
        throw UserError(
            QStringLiteral("Nema slobodnog rednog broja: brojevi od 1 do 999999999 "
                           "su potrošeni."));
    }
    return static_cast<int>(highest) + 1;
}

bool AssetNumberTaken(Database& db, int year, int number) {
    for (AssetTable table : {AssetTable::Current, AssetTable::Earlier}) {
        if (db.Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(TableName(table)) +
                          QStringLiteral(" WHERE \"Godina\" = ? AND \"Redni broj\" = ?"),
                      {year, number})
                .isValid()) {
            return true;
        }
    }
    return false;
}

bool YearHasEarlierRows(Database& db, int year) {
    return db.Scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM \"POPIS_DUGOTRAJNE_IMOVINE\" WHERE \"Godina\" = ?"),
                     {year})
               .toInt() > 0;
}

std::vector<FixedAsset> ListAssets(Database& db, int year) {
    std::vector<FixedAsset> rows;
    ReadRows(db, AssetTable::Earlier, year, rows);
    ReadRows(db, AssetTable::Current, year, rows);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const FixedAsset& a, const FixedAsset& b) { return a.number < b.number; });
    return rows;
}

void AddAsset(Database& db, int year, const FixedAsset& asset) {
    Require(asset);
    Transaction tx(db);
    // Checked under the write lock: another workstation may have taken the number since.
    if (AssetNumberTaken(db, year, asset.number)) {
        throw UserError(DuplicateMessage());
    }
    db.Exec(QStringLiteral("INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE_REV1\" (\"Godina\", ") +
                kColumns + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            QVariantList{year} + Values(asset));
    tx.Commit();
}

void UpdateAsset(Database& db, int year, int originalNumber, const FixedAsset& asset) {
    Require(asset);
    Transaction tx(db);
    if (asset.number != originalNumber && AssetNumberTaken(db, year, asset.number)) {
        throw UserError(DuplicateMessage());
    }
    const int changed = db.Exec(
        QStringLiteral("UPDATE ") + Quoted(TableName(asset.table)) +
            QStringLiteral(" SET \"Redni broj\" = ?, \"Naziv stvari\" = ?, \"Isprava "
                           "broj/nadnevak\" = ?, \"Nabavna vrijednost\" = ?, \"Knjigovodstvena "
                           "vrijednost\" = ?, \"Skupina\" = ?, \"Stopa otpisa\" = ?, \"Svota "
                           "otpisa\" = ?, \"Knjigovodstvena vrijednost na kraju godine\" = ? "
                           "WHERE \"Godina\" = ? AND \"Redni broj\" = ?"),
        Values(asset) + QVariantList{year, originalNumber});
    if (changed == 0) {
        throw UserError(DeletedMessage());
    }
    tx.Commit();
}

void DeleteAsset(Database& db, int year, AssetTable table, int number) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM ") + Quoted(TableName(table)) +
                QStringLiteral(" WHERE \"Godina\" = ? AND \"Redni broj\" = ?"),
            {year, number});
    tx.Commit();
}

reports::ReportRequest AssetReportRequest(Database& db, int year) {
    reports::ReportRequest request;
    request.title = ListCaption();
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Popis dugotrajne imovine za ") +
                                                  QString::number(year) +
                                                  QStringLiteral(". godinu"));
    if (YearHasEarlierRows(db, year)) {
        request.reportFile = QStringLiteral("pdi.rpt");
        request.selection.Where(QStringLiteral("Popis dugotrajne imovine.Godina"),
                                reports::CompareOp::Equal, year);
    } else {
        request.reportFile = QStringLiteral("pdi_rev1.rpt");
        request.selection.Where(QStringLiteral("POPIS_DUGOTRAJNE_IMOVINE_REV1.Godina"),
                                reports::CompareOp::Equal, year);
    }
    return request;
}

}  // namespace zodra::assets
