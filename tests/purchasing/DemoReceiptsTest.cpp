#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "data/Database.h"
#include "data/SqlValue.h"
#include "demo/DemoCompany.h"
#include "stock/support/StockChecks.h"

using namespace zodra;

// The demo company's receipts and sales in every warehouse: books agree, nothing is left behind,
// and the company is the same every time it is made.
TEST(DemoReceipts, EveryWarehouseReceivesAndSellsAndTheBooksAgree) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto make = [&](const QString& name) {
        const QString path = dir.filePath(name);
        demo::CreateDemoCompany(path, QDate(2026, 6, 30));
        return Database::Open(path, QString()).db;
    };
    auto db = make(QStringLiteral("a.mdb"));
    ASSERT_TRUE(db);
    Statement per = db->Prepare(QStringLiteral(
        "SELECT w.\"SIFRA\", COUNT(h.\"BROJ PRIMKE\"), MIN(h.\"DATUM\"), MAX(h.\"DATUM\"), "
        "COUNT(DISTINCT h.\"SIFRA DOBAVLJACA\") FROM \"SKLADISTA\" w LEFT JOIN \"PRIMKE\" h ON "
        "h.\"SKLADISTE\" = w.\"SIFRA\" GROUP BY w.\"SIFRA\""));
    per.Exec();
    int warehouses = 0;
    while (per.Next()) {
        ++warehouses;
        EXPECT_GE(per.Int(1), 24) << "warehouse " << per.Int(0);
        EXPECT_EQ(sqlvalue::ToDate(per.Value(2)), QDate(2026, 1, 2));
        EXPECT_EQ(sqlvalue::ToDate(per.Value(3)), QDate(2026, 6, 30));
        EXPECT_GT(per.Int(4), 3);
        test::ExpectBooksAgree(*db, per.Int(0), 2026);
    }
    per.Finish();
    EXPECT_EQ(warehouses, 3);
    EXPECT_GT(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE_ZAVISNI_TROSKOVI\"")).toInt(), 0);

    const QString summary = QStringLiteral(
        "SELECT COUNT(*), SUM(\"STORNO\"), COUNT(DISTINCT \"SKLADISTE\"), MIN(\"DATUM\"), "
        "MAX(\"DATUM\"), (SELECT ROUND(SUM(\"UKUPNO_\"), 2) FROM \"STAVKE_RACUNA\") FROM "
        "\"RACUNI\"");
    Statement s = db->Prepare(summary);
    s.Exec();
    ASSERT_TRUE(s.Next());
    EXPECT_GE(s.Int(0), 200);
    EXPECT_GT(s.Int(1), 10);
    EXPECT_LT(s.Int(1), s.Int(0) / 5);
    EXPECT_EQ(s.Int(2), 3);
    EXPECT_GT(sqlvalue::ToDate(s.Value(3)), QDate(2026, 1, 2));
    EXPECT_LE(sqlvalue::ToDate(s.Value(4)), QDate(2026, 6, 30));
    const QStringList first = {s.Text(0), s.Text(1), s.Text(5)};
    s.Finish();
    // Every cancellation has its counter-entry in the trade book.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                        "WHERE \"TIP_DOKUMENTA\" = 'STORNO RAČUNA'"))
                  .toInt(),
              first.at(1).toInt());
    for (const char* table :
         {"STAVKE_PRIMKE_PRIVREMENO", "STAVKE_RACUNA_PRIVREMENO", "Multiuser"}) {
        EXPECT_EQ(
            db->Scalar(
                  QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QString::fromLatin1(table)))
                .toInt(),
            0)
            << table;
    }
    auto again = make(QStringLiteral("b.mdb"));
    Statement t = again->Prepare(summary);
    t.Exec();
    ASSERT_TRUE(t.Next());
    EXPECT_EQ((QStringList{t.Text(0), t.Text(1), t.Text(5)}), first);
}
