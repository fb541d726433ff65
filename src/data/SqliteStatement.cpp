#include "data/SqliteStatement.h"

#include <sqlite3.h>
#include <QSqlDriver>
#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqliteEngine.h"

namespace zodra {

sqlite3* SqliteStatement::Handle(Database& db) {
    static const bool generic = qEnvironmentVariableIsSet("ZODRA_GENERIC_SQL");
    if (generic || db.Dialect() != SqlDialect::Sqlite) {
        return nullptr;
    }
    const QVariant handle = db.Connection().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        return nullptr;
    }
    return *static_cast<sqlite3* const*>(handle.constData());
}

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : m_db(db), m_sql(sql) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &m_stmt,
                           nullptr) != SQLITE_OK) {
        Fail();
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::Fail() const {
    const QString text = QString::fromUtf8(sqlite3_errmsg(m_db));
    const int code = sqlite3_extended_errcode(m_db);
    throw DbError(m_sql, text, SqliteEngine::Kind(code, text), code);
}

void SqliteStatement::Bind(int index, double value) {
    if (sqlite3_bind_double(m_stmt, index + 1, value) != SQLITE_OK) {
        Fail();
    }
}

void SqliteStatement::Bind(int index, qint64 value) {
    if (sqlite3_bind_int64(m_stmt, index + 1, value) != SQLITE_OK) {
        Fail();
    }
}

void SqliteStatement::BindNull(int index) {
    if (sqlite3_bind_null(m_stmt, index + 1) != SQLITE_OK) {
        Fail();
    }
}

void SqliteStatement::BindBlob(int index, const void* data, int bytes) {
    if (sqlite3_bind_blob(m_stmt, index + 1, data, bytes, SQLITE_STATIC) != SQLITE_OK) {
        Fail();
    }
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(m_stmt);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result != SQLITE_DONE) {
        Fail();
    }
    return false;
}

void SqliteStatement::Reset() {
    sqlite3_reset(m_stmt);
}

qint64 SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::Double(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int SqliteStatement::Changes() const {
    return sqlite3_changes(m_db);
}

namespace {

void RowValueOf(sqlite3_context* context, int, sqlite3_value** argv) {
    const qint64 rowid = sqlite3_value_int64(argv[0]);
    const auto* first = static_cast<const RowValue*>(sqlite3_value_blob(argv[1]));
    const int bytes = sqlite3_value_bytes(argv[1]);
    if (!first || bytes <= 0) {
        sqlite3_result_null(context);
        return;
    }
    const RowValue* last = first + bytes / static_cast<int>(sizeof(RowValue));
    const RowValue* found = std::lower_bound(
        first, last, rowid, [](const RowValue& v, qint64 id) { return v.rowid < id; });
    if (found == last || found->rowid != rowid) {
        sqlite3_result_null(context);
    } else {
        sqlite3_result_double(context, found->value);
    }
}

}  // namespace

void EnsureRowValueFunction(sqlite3* db) {
    SqliteStatement known(db, QStringLiteral("SELECT 1 FROM pragma_function_list WHERE name = "
                                             "'zodra_vrijednost_retka'"));
    if (known.Step()) {
        return;
    }
    if (sqlite3_create_function_v2(db, "zodra_vrijednost_retka", 2,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &RowValueOf,
                                   nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw DbError(QStringLiteral("zodra_vrijednost_retka"),
                      QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

void SortRowValues(std::vector<RowValue>& values) {
    std::sort(values.begin(), values.end(),
              [](const RowValue& a, const RowValue& b) { return a.rowid < b.rowid; });
}

}  // namespace zodra
