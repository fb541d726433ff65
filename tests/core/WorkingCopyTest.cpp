#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::workingcopy;
using zodra::test::CompanyTest;

namespace {

// Adds a working row in which every column holds a value of its own (its position), so that a
// copy that shifts or swaps columns shows up.
void AddDistinctRow(Database& db, const QString& table, int sessionCode,
                    const QMap<QString, QVariant>& fixed) {
    const QStringList& columns = db.Columns(table);
    QStringList quoted;
    QStringList marks;
    QVariantList values;
    for (int i = 0; i < columns.size(); ++i) {
        const QString& c = columns.at(i);
        quoted << QLatin1Char('"') + c + QLatin1Char('"');
        marks << u"?"_s;
        if (c == QLatin1String("Multiuser_sifra")) {
            values << sessionCode;
        } else if (fixed.contains(c)) {
            values << fixed.value(c);
        } else {
            values << 1000 + i;
        }
    }
    db.Exec(u"INSERT INTO \""_s + table + u"\" ("_s + quoted.join(u", "_s) + u") VALUES ("_s +
                marks.join(u", "_s) + u")"_s,
            values);
}

int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.Scalar(sql, params).toInt();
}

}  // namespace

class WorkingCopyTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
        db->ExecRaw(
            u"INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_P\") VALUES "
            "(7, 'Čaj', 1), (8, 'Kava', 2)"_s);
    }
    std::unique_ptr<Database> db;
};

TEST_F(WorkingCopyTest, SessionCodesAreNeverHandedOutTwice) {
    const int a = AllocateSessionCode(*db);
    const int b = AllocateSessionCode(*db);
    const int c = AllocateSessionCode(*db);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, b + 1);
    ReleaseSessionCodes(*db, {c});
    // The highest code was deleted; a plain MAX + 1 would hand it out again.
    EXPECT_GT(AllocateSessionCode(*db), c);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" = ?"_s, {c}), 0);
}

TEST_F(WorkingCopyTest, PostingCopiesEveryColumnInOrderAndClearsOnlyThisSession) {
    const int mine = AllocateSessionCode(*db);
    const int theirs = AllocateSessionCode(*db);
    AddDistinctRow(*db, u"STAVKE_PRIMKE_PRIVREMENO"_s, mine,
                   {{u"SKLADISTE"_s, 1},
                    {u"GODINA"_s, 2026},
                    {u"BROJ_PRIMKE"_s, 1},
                    {u"TIP_STAVKE"_s, u"ART"_s},
                    {u"SIFRA"_s, 7},
                    {u"RBR_STAVKE"_s, 1}});
    AddDistinctRow(*db, u"STAVKE_PRIMKE_PRIVREMENO"_s, theirs,
                   {{u"SKLADISTE"_s, 1},
                    {u"GODINA"_s, 2026},
                    {u"BROJ_PRIMKE"_s, 1},
                    {u"TIP_STAVKE"_s, u"ART"_s},
                    {u"SIFRA"_s, 8},
                    {u"RBR_STAVKE"_s, 1}});
    {
        Transaction tx(*db);
        EXPECT_EQ(PostWorkingLines(*db, DocumentKind::GoodsReceipt, 42, mine), 1);
        tx.Commit();
    }
    const QStringList& working = db->Columns(u"STAVKE_PRIMKE_PRIVREMENO"_s);
    const QStringList& posted = db->Columns(u"STAVKE_PRIMKI"_s);
    Statement row = db->Prepare(u"SELECT * FROM \"STAVKE_PRIMKI\" WHERE \"BROJ_PRIMKE\" = 42"_s);
    row.Exec();
    ASSERT_TRUE(row.Next());
    for (int i = 0; i < posted.size(); ++i) {
        const QString& c = posted.at(i);
        const int w = working.indexOf(c);
        if (c == QLatin1String("BROJ_PRIMKE")) {
            EXPECT_EQ(row.Int(i), 42);
        } else if (c == QLatin1String("GRUPA_POREZA")) {
            EXPECT_FALSE(row.Text(i).isEmpty());  // completed from the article's tax group
        } else if (c == QLatin1String("POREZ_%")) {
            EXPECT_GT(row.Double(i), 0.0);
        } else if (w >= 0 && c != QLatin1String("SKLADISTE") && c != QLatin1String("GODINA") &&
                   c != QLatin1String("TIP_STAVKE") && c != QLatin1String("SIFRA") &&
                   c != QLatin1String("RBR_STAVKE")) {
            EXPECT_EQ(row.Int(i), 1000 + w) << "column " << c.toStdString();
        }
    }
    EXPECT_FALSE(row.Next());
    // This session's working rows are gone, the other session's stay.
    EXPECT_EQ(Count(*db,
                    u"SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ?"_s,
                    {mine}),
              0);
    EXPECT_EQ(Count(*db,
                    u"SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                    "\"Multiuser_sifra\" = ?"_s,
                    {theirs}),
              1);
}

TEST_F(WorkingCopyTest, TheTaxGroupIsTakenFromTheArticleOnlyForArticleLines) {
    const int code = AllocateSessionCode(*db);
    db->Exec(
        u"INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
        "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"Multiuser_sifra\") "
        "VALUES (1, 2026, 0, 'ART', 7, 1, ?), (1, 2026, 0, 'AMB', 8, 1, ?)"_s,
        {code, code});
    Transaction tx(*db);
    PostWorkingLines(*db, DocumentKind::GoodsReceipt, 3, code);
    tx.Commit();
    const QString group7 =
        db->Scalar(u"SELECT \"NAZIV\" FROM \"GRUPE_POREZA\" WHERE \"SIFRA\" = 1"_s).toString();
    EXPECT_EQ(
        db->Scalar(u"SELECT \"GRUPA_POREZA\" FROM \"STAVKE_PRIMKI\" WHERE \"TIP_STAVKE\" = 'ART'"_s)
            .toString(),
        group7);
    // A packaging line with the code of an article is not an article.
    EXPECT_TRUE(
        db->Scalar(u"SELECT \"GRUPA_POREZA\" FROM \"STAVKE_PRIMKI\" WHERE \"TIP_STAVKE\" = 'AMB'"_s)
            .isNull());
}

TEST_F(WorkingCopyTest, DeliveryNotesTakeTheInvoiceWorkingCopyUnderTheirOwnNumberColumn) {
    const int code = AllocateSessionCode(*db);
    db->Exec(
        u"INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
        "\"CIJENA_\", \"RBR_STAVKE\", \"Multiuser_sifra\") VALUES "
        "(1, 1, 2026, 99, 'ART', 7, 3, 2.5, 10.25, 1, ?)"_s,
        {code});
    Transaction tx(*db);
    EXPECT_EQ(PostWorkingLines(*db, DocumentKind::DeliveryNote, 12, code), 1);
    tx.Commit();
    Statement row = db->Prepare(
        u"SELECT \"BROJ_OTPREMNICE\", \"KOLICINA\", \"CIJENA_\", "
        "\"BROJ_PRIMKE\" FROM \"STAVKE_OTPREMNICA\""_s);
    row.Exec();
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Int(0), 12);
    EXPECT_DOUBLE_EQ(row.Double(1), 2.5);
    EXPECT_DOUBLE_EQ(row.Double(2), 10.25);
    EXPECT_EQ(row.Int(3), 3);
}

TEST_F(WorkingCopyTest, InvoicesGetTheirBookAndNumberWithEmployeesAndExtraData) {
    const int code = AllocateSessionCode(*db);
    db->Exec(
        u"INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
        "\"RBR_STAVKE\", \"Multiuser_sifra\") VALUES (1, 1, 2026, 5, 'USL', 1, 0, 1, 1, ?)"_s,
        {code});
    db->Exec(
        u"INSERT INTO \"STAVKE_RACUNA_DJELATNICI_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", "
        "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
        "\"DJELATNIK\", \"Multiuser_sifra\") VALUES (1, 1, 2026, 5, 'USL', 1, 0, 3, ?)"_s,
        {code});
    Transaction tx(*db);
    PostWorkingLines(*db, DocumentKind::Invoice, 6, code, 2);
    tx.Commit();
    EXPECT_EQ(Count(*db,
                    u"SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 2 AND "
                    "\"BROJ_RACUNA\" = 6"_s),
              1);
    EXPECT_EQ(Count(*db,
                    u"SELECT COUNT(*) FROM \"STAVKE_RACUNA_DJELATNICI\" WHERE \"IRA\" = 2 "
                    "AND \"BROJ_RACUNA\" = 6 AND \"DJELATNIK\" = 3"_s),
              1);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"STAVKE_RACUNA_DJELATNICI_PRIVREMENO\""_s), 0);
}

TEST_F(WorkingCopyTest, ClearingAWorkOrderClearsItsLinesAndItsCosts) {
    const int mine = AllocateSessionCode(*db);
    const int theirs = AllocateSessionCode(*db);
    for (int code : {mine, theirs}) {
        db->Exec(
            u"INSERT INTO \"STAVKE_RADNIH_NALOGA_PRIVREMENO\" (\"SIFRA_ARTIKLA\", "
            "\"KOLICINA\", \"Multiuser_sifra\") VALUES (7, 1, ?)"_s,
            {code});
        db->Exec(
            u"INSERT INTO \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\" (\"OPIS\", "
            "\"KOLICINA\", \"Multiuser_sifra\") VALUES ('rad', 1, ?)"_s,
            {code});
    }
    ClearWorkingCopy(*db, DocumentKind::WorkOrder, mine);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_PRIVREMENO\""_s), 1);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO\""_s),
              1);
    ClearAllWorkingCopies(*db, theirs);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_PRIVREMENO\""_s), 0);
}

TEST_F(WorkingCopyTest, EveryWorkingTableExistsWithTheSessionColumnLast) {
    for (const QString& table : AllWorkingTables()) {
        const QStringList& columns = db->Columns(table);
        EXPECT_EQ(columns.last(), u"Multiuser_sifra"_s) << table.toStdString();
    }
    for (const DocumentKindInfo& info : AllDocumentKinds()) {
        if (!info.headerTable.isEmpty()) {
            EXPECT_TRUE(db->Columns(info.headerTable).contains(info.numberColumn))
                << info.headerTable.toStdString();
        }
        for (const LineCopy& copy : info.lines) {
            EXPECT_TRUE(db->Columns(copy.lineTable).contains(copy.lineNumberColumn))
                << copy.lineTable.toStdString();
            EXPECT_TRUE(db->Columns(copy.workingTable).contains(copy.workingNumberColumn))
                << copy.workingTable.toStdString();
        }
    }
}
