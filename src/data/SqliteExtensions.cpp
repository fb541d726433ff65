#include "data/SqliteExtensions.h"

#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>

#include "data/Errors.h"
#include "data/TextSearch.h"

namespace zodra {

namespace {

int CroatianCollation(void*, int lengthA, const void* a, int lengthB, const void* b) {
    const QString textA = QString::fromUtf8(static_cast<const char*>(a), lengthA);
    const QString textB = QString::fromUtf8(static_cast<const char*>(b), lengthB);
    const int r = textsearch::Compare(textA, textB);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void FoldFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int bytes = sqlite3_value_bytes(argv[0]);
    const QByteArray folded = textsearch::Fold(QString::fromUtf8(text, bytes)).toUtf8();
    sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()),
                        SQLITE_TRANSIENT);
}

}  // namespace

void RegisterSqliteExtensions(QSqlDatabase& connection) {
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        throw DbError(QString(), QStringLiteral("SQLite veza nije dostupna"));
    }
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (db == nullptr) {
        throw DbError(QString(), QStringLiteral("SQLite veza nije otvorena"));
    }
    // A double-quoted name is always an identifier: a misspelt column is an error, never
    // silently a text literal.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    if (sqlite3_create_collation_v2(db, "HR", SQLITE_UTF8, nullptr, &CroatianCollation, nullptr) !=
            SQLITE_OK ||
        // zfold is used in the schema (article search-key indexes): deterministic and without
        // side effects, so SQLite allows it there even with trusted_schema off.
        sqlite3_create_function_v2(db, "zfold", 1,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   &FoldFunction, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw DbError(QString(), QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

}  // namespace zodra
