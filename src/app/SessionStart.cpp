#include "app/SessionStart.h"

#include "app/CompanyConfig.h"
#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"

namespace zodra::sessionstart {

namespace {

// Commits of this scope do not wait for the disk (the data stays sound, the last commits may be
// lost with a power cut, and the fix-ups are simply made again at the next start); full
// durability again afterwards, however the scope ends.
class UnsyncedCommit {
public:
    explicit UnsyncedCommit(Database& db) : m_db(db) {
        m_db.SetDurability(Engine::Durability::Relaxed);
    }
    ~UnsyncedCommit() {
        try {
            m_db.SetDurability(Engine::Durability::Full);
        } catch (const DbError&) {
        }
    }
    UnsyncedCommit(const UnsyncedCommit&) = delete;
    UnsyncedCommit& operator=(const UnsyncedCommit&) = delete;

private:
    Database& m_db;
};

bool ReadWarehouse(Session& session, int code) {
    Statement row = session.Db().Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"CijeneValuta\", \"SKLADISTE_ZALIHA\", \"SKLADISTE_AUTOM_RN\", "
        "\"MALOPRODAJA\", \"DOZVOLJENI_SVI_RACUNI\", \"KOMISIJSKO_SKLADISTE\" FROM \"SKLADISTA\" "
        "WHERE \"SIFRA\" = ?"));
    row.Exec({code});
    if (!row.Next()) {
        return false;
    }
    session.activeWarehouse = ActiveWarehouse{code, row.Text(0)};
    WarehouseFlags& f = session.warehouseFlags;
    f.pricesInCurrency = sqlvalue::ToBool(row.Value(1));
    f.stockWarehouse = row.Int(2);
    f.autoWorkOrderWarehouse = row.Int(3);
    f.retail = sqlvalue::ToBool(row.Value(4));
    f.allInvoicesAllowed = sqlvalue::ToBool(row.Value(5));
    f.commission = sqlvalue::ToBool(row.Value(6));
    return true;
}

}  // namespace

QList<QPair<QString, int>> Warehouses(Database& db) {
    QList<QPair<QString, int>> list;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"SIFRA\" FROM \"SKLADISTA\" ORDER BY \"NAZIV\" COLLATE \"HR\""));
    all.Exec();
    while (all.Next()) {
        list.append({all.Text(0), all.Int(1)});
    }
    return list;
}

int FixUpData(Database& db) {
    int changed = 0;
    Transaction tx(db);
    for (const LineCopy& table : TaxFixupTables()) {
        changed += workingcopy::FillMissingTaxGroups(db, table);
    }
    for (const char16_t* column :
         {u"Osnovica25", u"PretporezUkupno25", u"PretporezOdbiti25", u"PretporezNeOdbiti25"}) {
        const QString c = QLatin1Char('"') + QString::fromUtf16(column) + QLatin1Char('"');
        changed += db.Exec(QStringLiteral("UPDATE \"KNJIGE_ULAZNIH_RACUNA\" SET ") + c +
                           QStringLiteral(" = 0 WHERE ") + c + QStringLiteral(" IS NULL"));
    }
    tx.Commit();
    return changed;
}

void LoadCompanyOptions(Session& session) {
    Statement row = session.Db().Prepare(QStringLiteral(
        "SELECT \"OZNAKA_NA_RACUNU\", \"FormatBroj\", \"REPORT VRACUNA\", \"REPORT MRACUNA\", "
        "\"REPORT RACUNA VOZILA\", \"ARTIKLI\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"));
    row.Exec();
    CompanyOptions& o = session.options;
    o = CompanyOptions{};
    if (row.Next()) {
        o.r2 = row.Text(0) == QLatin1String("R-2");
        o.numberFormat = row.Text(1);
        o.wholesaleInvoiceReport = row.Text(2);
        o.retailInvoiceReport = row.Text(3);
        o.vehicleInvoiceReport = row.Text(4);
        o.articleOrder = row.Text(5);
    }
    o.articleDisplayExpression = ArticleDisplayExpression(o.articleOrder);
}

StartResult Start(Session& session, int warehouseCode, Prompter& prompter, const QDate& today) {
    if (warehouseCode == 0) {
        throw UserError(QStringLiteral("Nije izabrano skladište."));
    }
    Database& db = session.Db();
    if (!db.Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                   {warehouseCode})
             .isValid()) {
        throw UserError(QStringLiteral("Nije izabrano skladište."));
    }
    // 1. Data fix-up and company settings.
    FixUpData(db);
    session.company = companyconfig::Load(db, prompter, today);
    session.businessYear = session.company.businessYear;
    session.stockMethod = session.company.stockMethod;
    // 3. Session codes, in this order, in one transaction, after forgetting the sessions of
    // programs that ended without closing. The codes only live as long as the
    // running programs, which a power loss ends too, so their commit need not wait for the
    // disk: the journal is synced with the next posting or checkpoint (the file stays sound).
    {
        const UnsyncedCommit unsynced(db);
        Transaction codes(db);
        workingcopy::ClearAbandonedSessions(db);
        session.sessionCode = workingcopy::AllocateSessionCode(db);
        session.workOrderSessionCode = workingcopy::AllocateSessionCode(db);
        session.transferSessionCode = workingcopy::AllocateSessionCode(db);
        codes.Commit();
    }
    // 4. Company options and article order.
    LoadCompanyOptions(session);
    // 5. The warehouse and its flags.
    ReadWarehouse(session, warehouseCode);
    // 6. Exchange rates of the day, planner.
    exchangerates::AskMissingRates(db, today, prompter);
    StartResult result;
    result.openPlanner =
        db.Scalar(QStringLiteral("SELECT 1 FROM \"PLANER\" WHERE \"DATUM\" = ? LIMIT 1"), {today})
            .isValid();
    return result;
}

bool ChangeWarehouse(Session& session, int warehouseCode) {
    if (warehouseCode == session.activeWarehouse.code) {
        return false;
    }
    if (!ReadWarehouse(session, warehouseCode)) {
        throw UserError(QStringLiteral("Nije izabrano skladište !"));
    }
    return true;
}

void End(Session& session) {
    if (!session.IsOpen()) {
        return;
    }
    Database& db = session.Db();
    Transaction tx(db);
    for (int code :
         {session.sessionCode, session.workOrderSessionCode, session.transferSessionCode}) {
        if (code != 0) {
            workingcopy::ClearAllWorkingCopies(db, code);
        }
    }
    workingcopy::ReleaseSessionCodes(
        db, {session.sessionCode, session.workOrderSessionCode, session.transferSessionCode});
    tx.Commit();
    session.sessionCode = session.workOrderSessionCode = session.transferSessionCode = 0;
}

QString Title(const Session& session) {
    if (session.databasePath.isEmpty()) {
        return QStringLiteral("Zodra");
    }
    return session.databasePath + QStringLiteral(":") + session.activeWarehouse.name +
           QStringLiteral(" - Zodra") + QStringLiteral(", UserName: ") + session.userName;
}

}  // namespace zodra::sessionstart
