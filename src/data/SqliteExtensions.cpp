#include "data/SqliteExtensions.h"

#include <QFile>
#include <QString>
#include <vector>

#include <sqlite3.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <array>
#include <string_view>

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

sqlite3* HandleOf(QSqlDatabase& connection) {
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        throw DbError(QString(), QStringLiteral("SQLite veza nije dostupna"));
    }
    sqlite3* db = *static_cast<sqlite3* const*>(handle.constData());
    if (db == nullptr) {
        throw DbError(QString(), QStringLiteral("SQLite veza nije otvorena"));
    }
    // The driver must run on the very SQLite library this program links: two copies of the
    // engine in one process do not see each other's locks, and each would drop the other's
    // when it closes a file.
    sqlite3_vfs* connectionVfs = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_VFS_POINTER, &connectionVfs) != SQLITE_OK ||
        connectionVfs != sqlite3_vfs_find(nullptr)) {
        throw DbError(QString(), QStringLiteral("Upravljački program baze ne koristi istu SQLite "
                                                "biblioteku kao program."));
    }

    return db;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

template <size_t N>
bool Listed(const std::array<std::string_view, N>& names, const char* name) {
    for (const std::string_view listed : names) {
        if (name != nullptr && EqualsIgnoringCase(listed, name)) {
            return true;
        }
    }
    return false;
}

// Pragmas that only read, whatever their argument: it names a table or an index, or limits the
// number of problems reported.
constexpr std::array<std::string_view, 16> kReadingPragmas = {
    "collation_list",   "compile_options", "database_list", "foreign_key_check",
    "foreign_key_list", "function_list",   "index_info",    "index_list",
    "index_xinfo",      "integrity_check", "module_list",   "pragma_list",
    "quick_check",      "table_info",      "table_list",    "table_xinfo"};
// Settings that a pragma shows without an argument and changes with one (several of them in the
// file header). wal_checkpoint, optimize, incremental_vacuum, shrink_memory and every pragma not
// named here are refused even without an argument: they write, or might in a later version.
constexpr std::array<std::string_view, 15> kSettingPragmas = {
    "application_id", "auto_vacuum",  "busy_timeout",   "cache_size",   "data_version",
    "encoding",       "foreign_keys", "freelist_count", "journal_mode", "page_count",
    "page_size",      "query_only",   "schema_version", "synchronous",  "user_version"};

bool IsSchemaTable(const char* table) {
    return table != nullptr && (EqualsIgnoringCase(table, "sqlite_master") ||
                                EqualsIgnoringCase(table, "sqlite_schema"));
}

// Allows what reads and refuses everything else. SQLite asks once per table, column, function
// and pragma a statement uses, while it prepares it; VACUUM (with or without INTO) asks for the
// ATTACH of its target file when it runs, before the file is opened.
int ReadOnlyAuthorizer(void*, int action, const char* what, const char* argument, const char*,
                       const char*) {
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_PRAGMA:
            if (Listed(kReadingPragmas, what) ||
                (argument == nullptr && Listed(kSettingPragmas, what))) {
                return SQLITE_OK;
            }
            return SQLITE_DENY;
        case SQLITE_UPDATE:
            // SQLite's own step when a pragma's table-valued function (pragma_table_info …) is
            // first used on the connection. A statement of the user's cannot change the schema
            // table: SQLite refuses that unless writable_schema is set, a pragma refused above.
            return IsSchemaTable(what) ? SQLITE_OK : SQLITE_DENY;
        default:
            return SQLITE_DENY;
    }
}

}  // namespace

void InstallReadOnlyAuthorizer(QSqlDatabase& connection) {
    sqlite3* db = HandleOf(connection);
    if (sqlite3_set_authorizer(db, &ReadOnlyAuthorizer, nullptr) != SQLITE_OK) {
        throw DbError(QString(), QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

void RegisterSqliteExtensions(QSqlDatabase& connection) {
    sqlite3* db = HandleOf(connection);
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

QByteArray ReadSqliteHeader(const QString& path) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (vfs == nullptr) {
        return QByteArray();
    }
    QByteArray full(vfs->mxPathname + 1, '\0');
    if (vfs->xFullPathname(vfs, QFile::encodeName(path).constData(), full.size(), full.data()) !=
        SQLITE_OK) {
        return QByteArray();
    }
    // The file layer expects a name as the engine makes them (with room for URI parameters).
    sqlite3_filename name = sqlite3_create_filename(full.constData(), "", "", 0, nullptr);
    std::vector<char> storage(static_cast<size_t>(vfs->szOsFile) + 16);
    auto* file = reinterpret_cast<sqlite3_file*>(storage.data());
    int outFlags = 0;
    QByteArray header;
    if (vfs->xOpen(vfs, name, file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &outFlags) ==
        SQLITE_OK) {
        QByteArray bytes(100, '\0');
        if (file->pMethods->xRead(file, bytes.data(), 100, 0) == SQLITE_OK) {
            header = bytes;
        }
    }
    if (file->pMethods != nullptr) {
        file->pMethods->xClose(file);
    }
    sqlite3_free_filename(name);
    return header;
}

}  // namespace zodra
