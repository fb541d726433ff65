#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <functional>
#include <ostream>

#include "data/Database.h"
#include "data/Errors.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "support/TestCompany.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace zodra::test {

// The message of the UserError an operation throws; empty (and a test failure) when it does not
// refuse.
inline QString Refusal(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const UserError& e) {
        return e.message();
    }
    ADD_FAILURE() << "expected a refusal";
    return QString();
}

// A valid article entry: the test changes what it is about.
inline registers::Values Article(const QString& name, const QString& code = QString(),
                                 const QString& barcode = QString()) {
    return {{QStringLiteral("NAZIV"), name},
            {QStringLiteral("OPIS"), code},
            {QStringLiteral("JED_M"), QStringLiteral("kom")},
            {QStringLiteral("GRUPA_A"), 1},
            {QStringLiteral("GRUPA_P"), 1},
            {QStringLiteral("VALUTA"), 1},
            {QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral("0")},
            {QStringLiteral("MIN_ZAL"), QStringLiteral("0")},
            {QStringLiteral("PAKOVANJE"), QStringLiteral("1")},
            {QStringLiteral("CARINA%"), QStringLiteral("0")},
            {QStringLiteral("BARKOD"), barcode}};
}

inline registers::Values Partner(const QString& name, const QString& oib = QString()) {
    return {{QStringLiteral("NAZIV"), name},
            {QStringLiteral("ADRESA"), QStringLiteral("Ilica 1")},
            {QStringLiteral("MJESTO"), QStringLiteral("Zagreb")},
            {QStringLiteral("OIB"), oib}};
}

inline int AddArticle(Database& db, const QString& name, const QString& code = QString(),
                      const QString& barcode = QString()) {
    return registers::Add(db, registers::catalogue::Articles(), Article(name, code, barcode)).code;
}

inline int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.Scalar(sql, params).toInt();
}

// Class of tests on one fresh company with one open connection.
class RegisterTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        m_db = Open();
        ASSERT_NE(m_db, nullptr);
    }
    Database& db() { return *m_db; }
    // The refusal of adding `typed` to a register, or of deleting `code` from it (asked with the
    // test's prompter).
    QString RefusedAdd(const registers::RegisterDescription& r, const registers::Values& typed) {
        return Refusal([&] { registers::Add(db(), r, typed); });
    }
    QString RefusedDelete(const registers::RegisterDescription& r, int code) {
        return Refusal([&] { registers::Delete(db(), r, code, prompter); });
    }

private:
    std::unique_ptr<Database> m_db;
};

}  // namespace zodra::test
