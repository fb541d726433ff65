#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "stock/StockTest.h"
#include "support/Refused.h"
#include "support/Zodractl.h"

namespace zodra::test {

// A register in warehouse 1 (a retail warehouse) of a fresh company, "Debug Mode" on, with an
// article "Kruh" (barcode 3850001000012, tax group 1 at 25 %) received at cost 80.00 and price
// 100.00 with a retail margin of 25 %.
class RetailTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        db().Exec(
            QStringLiteral("UPDATE \"SKLADISTA\" SET \"MALOPRODAJA\" = TRUE WHERE \"SIFRA\" = 1"));
        session->warehouseFlags.retail = true;
        bread = docs->AddArticle(QStringLiteral("Kruh"));
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '3850001000012' WHERE "
                                 "\"SIFRA\" = ?"),
                  {bread});
        firstLot = docs->Receipt({{bread, 10, 80, 100, 25.0}});
    }

    retail::TillSale Open(Session& s) { return retail::OpenTillSale(s, QDate(2026, 3, 10)); }
    // A line of `quantity` of the article on the session's sale, no discount, the lot by rule.
    retail::RegisterLineResult Add(retail::TillSale& sale, int article, double quantity) {
        return retail::AddRegisterLine(*session, sale, {article, quantity, 0, std::nullopt});
    }

    // Σ column of the table's rows that meet `where` (all rows without it).
    double Sum(const char* column, const char* table, const char* where = nullptr,
               const QVariantList& params = {}) {
        return Value(
            QStringLiteral("SELECT SUM(\"%1\") FROM \"%2\"%3")
                .arg(QString::fromUtf8(column), QString::fromUtf8(table),
                     where ? QStringLiteral(" WHERE ") + QString::fromUtf8(where) : QString()),
            params);
    }
    int Rows(const char* table, const char* where = nullptr, const QVariantList& params = {}) {
        return Count(
            QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2")
                .arg(QString::fromUtf8(table),
                     where ? QStringLiteral(" WHERE ") + QString::fromUtf8(where) : QString()),
            params);
    }
    // No lot, receipt or trade-book entry left: a test that needs lots of its own kind (under
    // its stock-keeping method) receives them afresh.
    void ForgetStock() {
        for (const char* table :
             {"NABAVE", "STAVKE_PRIMKI", "PRIMKE", "TRGOVACKA_KNJIGA_VELEPRODAJE"}) {
            db().Exec(QStringLiteral("DELETE FROM \"%1\"").arg(QString::fromLatin1(table)));
        }
    }
    // A company setting as the configuration window stores it.
    void SetOption(const QString& name, const QString& value) {
        db().Exec(QStringLiteral("DELETE FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"), {name});
        db().Exec(QStringLiteral("INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") "
                                 "VALUES (?, ?)"),
                  {name, value});
    }

    // Programs working on the company file at once. The test's own session is closed first;
    // every job runs in a thread of its own while compactions run over and over beside them
    // ("Baza je otvorena na drugom računalu" is their only allowed refusal). Run() starts
    // zodractl with the company after the command; Fail() notes what went wrong.
    class Programs {
    public:
        explicit Programs(RetailTest& test) : m_company(test.CompanyPath()) {
            test.docs.reset();
            test.session.reset();
            m_options.home = test.Folder();
            m_options.workingFolder = test.Folder();
            m_folder = test.Folder();
        }
        ZodractlRun Run(QStringList args) const {
            args.insert(1, m_company);
            return RunZodractl(args, m_options);
        }
        // "zreport" of warehouse 1 for one day, every question answered Yes.
        ZodractlRun ZReport(const QString& day, const QString& out) const {
            return Run({QStringLiteral("zreport"), QStringLiteral("--skladiste"),
                        QStringLiteral("1"), QStringLiteral("--od"), day, QStringLiteral("--do"),
                        day, QStringLiteral("--out"), m_folder + QLatin1Char('/') + out,
                        QStringLiteral("--da")});
        }
        void Fail(const QString& text) {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_failures << text;
        }
        // Runs the jobs beside compactions; what failed, one entry per failure.
        QStringList BesideCompaction(const std::vector<std::function<void()>>& jobs) {
            std::vector<std::thread> threads;
            for (const auto& job : jobs) {
                threads.emplace_back(job);
            }
            std::atomic<bool> done = false;
            std::thread compaction([&] {
                while (!done) {
                    const ZodractlRun run = Run({QStringLiteral("compact")});
                    if (run.exitCode != 0 && !run.err.startsWith(QStringLiteral(
                                                 "Baza je otvorena na drugom računalu"))) {
                        Fail(QStringLiteral("compact: ") + run.err);
                    }
                }
            });
            for (std::thread& t : threads) {
                t.join();
            }
            done = true;
            compaction.join();
            return m_failures;
        }

    private:
        QString m_company;
        QString m_folder;
        ZodractlOptions m_options;
        std::mutex m_mutex;
        QStringList m_failures;
    };

    double Value(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(db().Scalar(sql, params));
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return db().Scalar(sql, params).toInt();
    }
    double FreeOf(int lot, int article) {
        return Value(QStringLiteral("SELECT \"KOLICINA_PRIVREMENO\" FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ? AND "
                                    "\"SIFRA_ARTIKLA\" = ?"),
                     {lot, article});
    }
    double QuantityOf(int lot, int article) {
        return Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 "
                                    "AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                     {lot, article});
    }

    int bread = 0;
    int firstLot = 0;
};

}  // namespace zodra::test
