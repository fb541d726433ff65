#include "data/SqliteExtensions.h"

#include <QFile>
#include <QString>
#include <vector>

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
    // The driver must run on the very SQLite library this program links: two copies of the
    // engine in one process do not see each other's locks, and each would drop the other's
    // when it closes a file.
    sqlite3_vfs* connectionVfs = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_VFS_POINTER, &connectionVfs) != SQLITE_OK ||
        connectionVfs != sqlite3_vfs_find(nullptr)) {
        throw DbError(QString(), QStringLiteral("Upravljački program baze ne koristi istu SQLite "
                                                "biblioteku kao program."));
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
