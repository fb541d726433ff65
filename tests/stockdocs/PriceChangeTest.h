#pragma once

#include <QDate>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "stock/StockTest.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangePosting.h"
#include "support/Refused.h"

namespace zodra::test {

// A workstation in warehouse 1 with two articles (tax group 1, 25 %), the consistency check on.
class PriceChangeTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
    }

    // Enters the lines in the session's working copy and posts them.
    int Post(Session& s, int article, std::optional<int> lot, double price,
             const QDate& date = QDate(2026, 3, 3)) {
        stockdocs::AddPriceChangeLine(s, article, lot, price);
        return stockdocs::PostPriceChange(s, {0, date});
    }
    int Post(int article, std::optional<int> lot, double price) {
        return Post(*session, article, lot, price);
    }

    int Count(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToInt(db().Scalar(sql, params));
    }
    int Headers() { return Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")); }
    int BookEntries() {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""));
    }
    int WorkingLines(Session& s) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" "
                                    "WHERE \"Multiuser_sifra\" = ?"),
                     {s.sessionCode});
    }
    // The price-change entry of the trade book: its value, description and position.
    struct BookEntry {
        int position = 0;
        QString description;
        double value = 0;
    };
    std::optional<BookEntry> Entry(const QString& type, int number) {
        Statement row = db().Prepare(QStringLiteral(
            "SELECT \"RBR\", \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
            "WHERE \"SKLADISTE\" = 1 AND \"TIP_DOKUMENTA\" = ? AND \"BROJ_DOKUMENTA\" = ?"));
        row.Exec({type, number});
        if (!row.Next()) {
            return std::nullopt;
        }
        return BookEntry{row.Int(0), row.Value(1).toString(), row.Double(2)};
    }
    double Price(int lot, int article) { return LotOf(db(), 1, Year(), lot, article).sellingPrice; }

    int screw = 0;
    int nut = 0;
};

}  // namespace zodra::test
