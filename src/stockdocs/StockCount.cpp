#include "stockdocs/StockCount.h"

#include <cmath>

#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/InputRules.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "reports/ValueFormat.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/PriceChangePosting.h"

namespace zodra::stockdocs {

namespace {

using Format = TableColumn::Format;

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

QString CurrencyAmount(Database& db, double amount) {
    const QString currency = sqlvalue::ToText(
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")));
    return reports::ValueFormat(currency).Format(amount, QStringLiteral("Currency"));
}

// A working line with its lot as it stands now (read in the same statement: one pass over the
// count, however many lots it has).
struct WorkingCountLine {
    int lot = 0;
    int article = 0;
    double sellingPrice = 0;
    double book = 0;
    double counted = 0;
    bool lotFound = false;
    double lotQuantity = 0;
    double lotSellingPrice = 0;
};

std::vector<WorkingCountLine> WorkingCountLines(Database& db, int sessionCode, int warehouse,
                                                int year) {
    Statement s = db.Prepare(
        QStringLiteral(
            "SELECT w.\"BROJ_PRIMKE\", w.\"SIFRA_ARTIKLA\", w.\"V_CIJENA\", "
            "w.\"KNJIZNO_KOLICINA\", w.\"STVARNO_KOLICINA\", n.\"SIFRA_ARTIKLA\", "
            "n.\"KOLICINA\", n.\"VELEPRODAJNA CIJENA\" FROM \"STAVKE_INVENTURA_PRIVREMENO\" w "
            "LEFT JOIN \"NABAVE\" n ON n.\"SKLADISTE\" = ? AND n.\"GODINA\" = ? AND "
            "n.\"BROJ_PRIMKE\" = w.\"BROJ_PRIMKE\" AND n.\"SIFRA_ARTIKLA\" = "
            "w.\"SIFRA_ARTIKLA\" WHERE w.\"Multiuser_sifra\" = ? ORDER BY w.") +
        RowKey(db));
    s.Exec({warehouse, year, sessionCode});
    std::vector<WorkingCountLine> lines;
    while (s.Next()) {
        for (int c = 0; c < 5; ++c) {
            if (s.IsNull(c)) {
                throw UserError(limits::NotANumberMessage(QStringLiteral("Količina")));
            }
        }
        WorkingCountLine line{s.Int(0), s.Int(1), s.Double(2), s.Double(3), s.Double(4)};
        line.lotFound = !s.IsNull(5);
        if (line.lotFound) {
            line.lotQuantity = sqlvalue::ToDouble(s.Value(6));
            line.lotSellingPrice = sqlvalue::ToDouble(s.Value(7));
        }
        lines.push_back(line);
    }
    return lines;
}

void RequireCounted(double counted) {
    limits::RequireNumber(counted, limits::NumberKind::Quantity,
                          QStringLiteral("Stvarna količina"));
    if (counted < 0) {
        throw UserError(QStringLiteral("Stvarna količina nesmije biti negativna !"));
    }
}

}  // namespace

QString StockCountTitle() {
    return QStringLiteral("Inventura");
}

QString ZeroCountQuestion() {
    return QStringLiteral("Želite li prikaz stvarnog stanja nula?");
}

QString CountedQuantityPrompt() {
    return QStringLiteral(
        "Ako želite postavljanje stanja artikala na neku drugu količinu tada tu količinu "
        "upišite.");
}

QString StockCountPostedMessage(int number) {
    return QStringLiteral("Inventura je proknjižena pod brojem ") + QString::number(number);
}

QString StockCountNoLinesMessage() {
    return QStringLiteral("Inventura nema niti jedne stavke !");
}

QString OnlyCountedEditableMessage() {
    return QStringLiteral("Mijenjati možete samo stvarnu količinu.");
}

int NextStockCountNumber(Session& session) {
    return numbering::NextDocumentNumber(session.Db(), DocumentKind::StockCount,
                                         session.activeWarehouse.code, session.businessYear);
}

int CheckStockCountNumber(Database& db, int warehouse, int year, const QString& typed) {
    bool ok = false;
    const qint64 number = typed.trimmed().toLongLong(&ok);
    if (!ok || number <= 0 || number > numbering::kLastNumber) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (numbering::DocumentExists(db, DocumentKind::StockCount, warehouse, year,
                                  static_cast<int>(number))) {
        throw UserError(QStringLiteral("Inventura pod ovim brojem je već napravljena !"));
    }
    return static_cast<int>(number);
}

int PrepareStockCount(Session& session, int number, std::optional<double> allCountedAs) {
    if (allCountedAs) {
        RequireCounted(*allCountedAs);
    }
    Database& db = session.Db();
    Transaction transaction(db);
    workingcopy::ClearWorkingCopy(db, DocumentKind::StockCount, session.sessionCode);
    // One statement: the lots as they stand at this moment, all of them or none.
    const QString counted = allCountedAs ? QStringLiteral("?") : QStringLiteral("\"KOLICINA\"");
    QVariantList params{session.activeWarehouse.code, session.businessYear, number};
    if (allCountedAs) {
        params << *allCountedAs << *allCountedAs;
    }
    params << session.sessionCode << session.activeWarehouse.code << session.businessYear;
    Statement s = db.Prepare(
        QStringLiteral(
            "INSERT INTO \"STAVKE_INVENTURA_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ_INVENTURE\", \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"N_CIJENA\", \"V_CIJENA\", "
            "\"KNJIZNO_KOLICINA\", \"KNJIZNO_VRIJEDNOST\", \"STVARNO_KOLICINA\", "
            "\"STVARNO_VRIJEDNOST\", \"Multiuser_sifra\") SELECT ?, ?, ?, \"BROJ_PRIMKE\", "
            "\"SIFRA_ARTIKLA\", \"NABAVNA CIJENA\", \"VELEPRODAJNA CIJENA\", \"KOLICINA\", "
            "\"VELEPRODAJNA CIJENA\" * \"KOLICINA\", ") +
        counted + QStringLiteral(", \"VELEPRODAJNA CIJENA\" * ") + counted +
        QStringLiteral(", ? FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY "
                       "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\""));
    s.Exec(params);
    const int lines = s.RowsAffected();
    transaction.Commit();
    return lines;
}

bool PrepareStockCount(Session& session, Prompter& prompter, int number) {
    if (!prompter.AskYesNo(ZeroCountQuestion(), StockCountTitle(), false)) {
        PrepareStockCount(session, number, std::nullopt);
        return true;
    }
    const std::optional<QString> typed =
        prompter.AskText(CountedQuantityPrompt(), StockCountTitle(), QStringLiteral("0"));
    if (!typed) {
        return false;
    }
    const std::optional<double> quantity = inputrules::ParseNumber(*typed);
    if (!quantity) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    PrepareStockCount(session, number, *quantity);
    return true;
}

void SetCountedQuantity(Session& session, qint64 row, double counted) {
    RequireCounted(counted);
    Database& db = session.Db();
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"STAVKE_INVENTURA_PRIVREMENO\" SET \"STVARNO_KOLICINA\" = ?, "
                           "\"STVARNO_VRIJEDNOST\" = ? * \"V_CIJENA\" WHERE \"Multiuser_sifra\" = "
                           "? AND ") +
                RowKey(db) + QStringLiteral(" = ?"),
            {RoundQuantity(counted), RoundQuantity(counted), session.sessionCode, row});
    transaction.Commit();
}

void SetCountedQuantityOfLot(Session& session, int article, int lot, double counted) {
    RequireCounted(counted);
    Database& db = session.Db();
    const QVariant row =
        db.Scalar(QStringLiteral("SELECT MIN(") + RowKey(db) +
                      QStringLiteral(") FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
                                     "\"Multiuser_sifra\" = ? AND \"SIFRA_ARTIKLA\" = ? AND "
                                     "\"BROJ_PRIMKE\" = ?"),
                  {session.sessionCode, article, lot});
    if (!row.isValid() || row.isNull()) {
        throw UserError(QStringLiteral("Artikal ") + stock::ArticleName(db, article) +
                        QStringLiteral(" nije na inventuri."));
    }
    SetCountedQuantity(session, row.toLongLong(), counted);
}

TableData WorkingStockCountGrid(Session& session) {
    Database& db = session.Db();
    return ReadTable(
        db,
        QStringLiteral("SELECT s.") + RowKey(db) +
            QStringLiteral(
                ", a.\"OPIS\", a.\"NAZIV\", a.\"JED_M\", s.\"BROJ_PRIMKE\", s.\"N_CIJENA\", "
                "s.\"V_CIJENA\", s.\"KNJIZNO_KOLICINA\", s.\"KNJIZNO_VRIJEDNOST\", "
                "s.\"STVARNO_KOLICINA\", s.\"STVARNO_VRIJEDNOST\", s.\"STVARNO_VRIJEDNOST\" - "
                "s.\"KNJIZNO_VRIJEDNOST\" FROM \"STAVKE_INVENTURA_PRIVREMENO\" s LEFT JOIN "
                "\"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" WHERE s.\"Multiuser_sifra\" = "
                "? ORDER BY s.") +
            RowKey(db),
        {session.sessionCode},
        {{QStringLiteral("id"), Format::Integer, -1, true},
         {QStringLiteral("Šifra")},
         {QStringLiteral("Naziv")},
         {QStringLiteral("JM")},
         {QStringLiteral("Primka"), Format::Integer},
         {QStringLiteral("Nab. cijena"), Format::Number, 4},
         {QStringLiteral("Prod. cijena"), Format::Number, 4},
         {QStringLiteral("Knjižno"), Format::Quantity},
         {QStringLiteral("Knjižna vr."), Format::Money},
         {QStringLiteral("Stvarno"), Format::Quantity},
         {QStringLiteral("Stvarna vr."), Format::Money},
         {QStringLiteral("Razlika vr."), Format::Money}});
}

QString WorkingStockCountTotals(Session& session) {
    Database& db = session.Db();
    Statement s = db.Prepare(
        QStringLiteral("SELECT \"STVARNO_KOLICINA\" * \"N_CIJENA\", \"STVARNO_VRIJEDNOST\" FROM "
                       "\"STAVKE_INVENTURA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?"));
    s.Exec({session.sessionCode});
    MoneyTotal cost;
    MoneyTotal selling;
    while (s.Next()) {
        cost += s.Double(0);
        selling += s.Double(1);
    }
    return QStringLiteral("Nabavna vr.: ") + CurrencyAmount(db, cost.Value()) +
           QStringLiteral("        Prodajna vr.: ") + CurrencyAmount(db, selling.Value());
}

int PostWorkingStockCount(Session& session, const StockCountHeaderData& header, int sessionCode) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    limits::RequireDocumentDate(header.date, y, QStringLiteral("Datum"));
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"STAVKE_INVENTURA_PRIVREMENO\" SET \"STVARNO_VRIJEDNOST\" = "
                           "\"STVARNO_KOLICINA\" * \"V_CIJENA\", \"KNJIZNO_VRIJEDNOST\" = "
                           "\"KNJIZNO_KOLICINA\" * \"V_CIJENA\" WHERE \"Multiuser_sifra\" = ?"),
            {sessionCode});
    const std::vector<WorkingCountLine> lines = WorkingCountLines(db, sessionCode, w, y);
    if (lines.empty()) {
        throw UserError(StockCountNoLinesMessage());
    }
    int number = header.number;
    if (number <= 0 || numbering::DocumentExists(db, DocumentKind::StockCount, w, y, number)) {
        number = numbering::NextDocumentNumber(db, DocumentKind::StockCount, w, y);
    }
    const int position = tradebook::NextBookNumber(db, tradebook::Book::Wholesale, w, y);
    db.Exec(QStringLiteral("INSERT INTO \"INVENTURE\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_INVENTURE\", \"DATUM\", \"RBR_TK\") VALUES (?, ?, ?, ?, ?)"),
            {w, y, number, header.date, position});
    MoneyTotal difference;
    // One statement prepared once for every lot that changes; a lot counted as booked is not
    // written at all.
    Statement setLot = db.Prepare(
        QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = "
                       "\"KOLICINA_PRIVREMENO\" + ? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                       "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"));
    for (const WorkingCountLine& line : lines) {
        RequireCounted(line.counted);
        if (!line.lotFound) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        if (!QuantitiesEqual(line.lotQuantity, line.book)) {
            throw UserError(QuantityChangedMessage(stock::ArticleName(db, line.article)));
        }
        if (!QuantitiesEqual(line.lotSellingPrice, line.sellingPrice)) {
            throw UserError(stock::ChangedPriceMessage(stock::ArticleName(db, line.article)));
        }
        const double counted = RoundQuantity(line.counted);
        if (counted != line.lotQuantity) {
            setLot.Exec({counted, RoundQuantity(line.counted - line.lotQuantity), w, y, line.lot,
                         line.article});
        }
        difference += (line.counted - line.book) * line.sellingPrice;
    }
    workingcopy::PostWorkingLines(db, DocumentKind::StockCount, number, sessionCode);
    tradebook::Entry entry;
    entry.warehouse = w;
    entry.year = y;
    entry.type = QStringLiteral("INVENTURA");
    entry.documentNumber = number;
    entry.date = header.date;
    entry.description = QStringLiteral("INVENTURA ") + QString::number(number);
    entry.purchaseValue = difference.Value();
    tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry, position);
    db.Exec(QStringLiteral("UPDATE \"INVENTURE\" SET \"OPIS\" = ? WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_INVENTURE\" = ?"),
            {entry.description, w, y, number});
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return number;
}

int PostStockCount(Session& session, const StockCountHeaderData& header) {
    return PostWorkingStockCount(session, header, session.sessionCode);
}

void ClearWorkingStockCount(Session& session) {
    Database& db = session.Db();
    Transaction transaction(db);
    workingcopy::ClearWorkingCopy(db, DocumentKind::StockCount, session.sessionCode);
    transaction.Commit();
}

}  // namespace zodra::stockdocs
