#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "data/Database.h"
#include "data/SqlValue.h"
#include "demo/DemoCompany.h"
#include "stock/support/StockChecks.h"

using namespace zodra;

// The demo company comes with a few dozen receipts in each warehouse, posted through the
// receipt's own calculation and posting: lots, cards and trade books agree, nothing is left in
// a working copy, and the receipts read as a clerk would have entered them.
TEST(DemoReceipts, EveryWarehouseHasPostedReceiptsThatKeepTheBooksInAgreement) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("demo.mdb"));
    demo::CreateDemoCompany(path, QDate(2026, 3, 20));
    auto opened = Database::Open(path, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    Database& db = *opened.db;
    Statement per = db.Prepare(QStringLiteral(
        "SELECT w.\"SIFRA\", COUNT(h.\"BROJ PRIMKE\"), MIN(h.\"DATUM\"), MAX(h.\"DATUM\"), "
        "COUNT(DISTINCT h.\"SIFRA DOBAVLJACA\") FROM \"SKLADISTA\" w LEFT JOIN \"PRIMKE\" h ON "
        "h.\"SKLADISTE\" = w.\"SIFRA\" GROUP BY w.\"SIFRA\""));
    per.Exec();
    int warehouses = 0;
    while (per.Next()) {
        ++warehouses;
        EXPECT_GE(per.Int(1), 24) << "warehouse " << per.Int(0);
        EXPECT_EQ(sqlvalue::ToDate(per.Value(2)), QDate(2026, 1, 2));
        EXPECT_EQ(sqlvalue::ToDate(per.Value(3)), QDate(2026, 3, 20));
        EXPECT_GT(per.Int(4), 3);
        test::ExpectBooksAgree(db, per.Int(0), 2026);
    }
    per.Finish();
    EXPECT_EQ(warehouses, 3);
    EXPECT_EQ(
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\"")).toInt(), 0);
    EXPECT_GT(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE_ZAVISNI_TROSKOVI\"")).toInt(),
              0);
}
