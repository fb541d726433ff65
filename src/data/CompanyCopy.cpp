#include "data/CompanyCopy.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

#include "data/CompanyLock.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::companycopy {

namespace {

// The most values one INSERT binds: below SQLite's limit of bound values per statement.
constexpr int kValuesPerBatch = 30000;
constexpr int kRowsPerBatch = 500;

const QString kDetail = QStringLiteral("det");

QString Quoted(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CompanySchemaName(SqlDialect dialect) {
    return dialect == SqlDialect::Sqlite ? QStringLiteral("main") : QStringLiteral("public");
}

struct TableRef {
    bool detail = false;
    QString name;
    QString Label() const { return detail ? kDetail + QLatin1Char('.') + name : name; }
    QString Sql(SqlDialect dialect) const {
        return Quoted(detail ? kDetail : CompanySchemaName(dialect)) + QLatin1Char('.') +
               Quoted(name);
    }
    bool operator<(const TableRef& other) const {
        return std::tie(detail, name) < std::tie(other.detail, other.name);
    }
    bool operator==(const TableRef& other) const {
        return detail == other.detail && name == other.name;
    }
};

// How a value is written into a column of the target.
enum class ValueKind { Plain, Boolean, Date, Timestamp };

struct Column {
    QString name;
    ValueKind kind = ValueKind::Plain;
};

struct TableShape {
    std::vector<Column> columns;  // without the row key
    bool rowKeyWritable = false;  // the row key is a value of its own, copied with the row
};

std::vector<TableRef> Tables(Database& db) {
    std::vector<TableRef> tables;
    for (const bool detail : {false, true}) {
        const bool sqlite = db.Dialect() == SqlDialect::Sqlite;
        Statement list(
            db, sqlite ? QStringLiteral("SELECT name FROM ") +
                             Quoted(detail ? kDetail : QStringLiteral("main")) +
                             QStringLiteral(".sqlite_master WHERE type = 'table' AND name NOT "
                                            "LIKE 'sqlite\\_%' ESCAPE '\\'")
                       : QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE "
                                        "schemaname = ?"));
        list.Exec(sqlite ? QVariantList{}
                         : QVariantList{detail ? kDetail : QStringLiteral("public")});
        while (list.Next()) {
            tables.push_back({detail, list.Text(0)});
        }
    }
    std::sort(tables.begin(), tables.end());
    return tables;
}

ValueKind KindOfType(QString type) {
    type = type.trimmed().toLower();
    if (type == QLatin1String("boolean")) {
        return ValueKind::Boolean;
    }
    if (type == QLatin1String("date")) {
        return ValueKind::Date;
    }
    if (type.startsWith(QLatin1String("timestamp")) || type == QLatin1String("datetime")) {
        return ValueKind::Timestamp;
    }
    return ValueKind::Plain;
}

TableShape Shape(Database& db, const TableRef& table) {
    TableShape shape;
    const QString key = QString::fromUtf16(RowKeyColumn(db.Dialect()));
    if (db.Dialect() == SqlDialect::Sqlite) {
        // A table whose key is a single INTEGER PRIMARY KEY has its row key in that column.
        Statement info(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?, ?) "
                                          "ORDER BY cid"));
        info.Exec({table.name, table.detail ? kDetail : QStringLiteral("main")});
        int keys = 0;
        bool integerKey = false;
        while (info.Next()) {
            shape.columns.push_back({info.Text(0), KindOfType(info.Text(1))});
            if (info.Int(2) > 0) {
                ++keys;
                integerKey =
                    info.Text(1).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
            }
        }
        shape.rowKeyWritable = !(keys == 1 && integerKey);
        return shape;
    }
    Statement info(
        db, QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), CASE WHEN "
                           "a.attgenerated = 's' THEN 1 ELSE 0 END FROM pg_catalog.pg_attribute a "
                           "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid JOIN "
                           "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = "
                           "? AND c.relname = ? AND a.attnum > 0 AND NOT a.attisdropped ORDER BY "
                           "a.attnum"));
    info.Exec({table.detail ? kDetail : QStringLiteral("public"), table.name});
    while (info.Next()) {
        if (info.Text(0) == key) {
            // A key generated from the table's own key column follows it by itself.
            shape.rowKeyWritable = info.Int(2) == 0;
        } else {
            shape.columns.push_back({info.Text(0), KindOfType(info.Text(1))});
        }
    }
    return shape;
}

QString TimestampText(const QDateTime& value) {
    return value.toString(value.time().msec() != 0 ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                   : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A value read from the source as the target's column stores it: booleans as the target types
// them, dates and times as their ISO text (no time zone is ever applied to them).
QVariant ForTarget(const QVariant& value, ValueKind kind, SqlDialect target) {
    if (!value.isValid() || value.isNull()) {
        return QVariant();
    }
    switch (kind) {
        case ValueKind::Boolean: {
            const bool on = sqlvalue::ToBool(value);
            return target == SqlDialect::Sqlite ? QVariant(on ? 1 : 0) : QVariant(on);
        }
        case ValueKind::Date:
            if (value.typeId() == QMetaType::QDate) {
                return sqlvalue::DateText(value.toDate());
            }
            if (value.typeId() == QMetaType::QDateTime) {
                return sqlvalue::DateText(value.toDateTime().date());
            }
            return value;
        case ValueKind::Timestamp:
            if (value.typeId() == QMetaType::QDateTime) {
                return TimestampText(value.toDateTime());
            }
            if (value.typeId() == QMetaType::QDate) {
                return TimestampText(QDateTime(value.toDate(), QTime(0, 0)));
            }
            return value;
        case ValueKind::Plain:
            break;
    }
    return value;
}

// Reads the source in one snapshot: what others commit meanwhile is not part of the copy.
class Snapshot {
public:
    explicit Snapshot(Database& db) : m_db(db) {
        m_db.ExecRaw(db.Dialect() == SqlDialect::Sqlite
                         ? QStringLiteral("BEGIN")
                         : QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    }
    ~Snapshot() {
        try {
            m_db.ExecRaw(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    Database& m_db;
};

// The engine's own facts about a company (where its detail file is, how it keeps its schema
// version) are not part of what is copied or counted.
const QStringList kEngineFacts = {QStringLiteral("DETALJNA_DATOTEKA"),
                                  QStringLiteral("VERZIJA_SHEME")};

qint64 CountRows(Database& db, const TableRef& table) {
    const bool meta = !table.detail && table.name == QLatin1String("ZODRA_META");
    return db
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table.Sql(db.Dialect()) +
                    (meta ? QStringLiteral(" WHERE \"Naziv\" NOT IN (?, ?)") : QString()),
                meta ? QVariantList{kEngineFacts.at(0), kEngineFacts.at(1)} : QVariantList{})
        .toLongLong();
}

void RemoveFileWithSidecars(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile::remove(path + QString::fromLatin1(suffix));
    }
    QFile::remove(CompanyLock::LockPath(path));
}

// The name a file target is written under until it is complete; its detail file's name
// differs from the target's own detail file's whatever the target is called.
QString TemporaryPath(const QString& target) {
    return target + QStringLiteral(".kopiranje.db");
}

// The maintenance database of the target's server, for making and dropping the target.
std::unique_ptr<Database> ServerMaintenance(const QString& url) {
    return Database::OpenRaw(PostgresEngine::WithDatabase(url, QStringLiteral("postgres")), true);
}

bool DatabaseExists(const QString& url) {
    auto server = ServerMaintenance(url);
    return server
               ->Scalar(QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_database WHERE "
                                       "datname = ?"),
                        {PostgresEngine::Parse(url).database})
               .toInt() > 0;
}

QString ServerUrl(const QString& target) {
    const QString url = PostgresEngine::UrlOf(target);
    if (url.isEmpty() || !PostgresEngine::Parse(url).valid) {
        throw UserError(QStringLiteral("Datoteka veze ne sadrži ispravnu adresu baze podataka: ") +
                        target);
    }
    return url;
}

// What is left of a target that was not finished goes: the temporary files, or the database
// the copy made.
class TargetCleanup {
public:
    TargetCleanup(QString file, QString url, bool dropDatabase)
        : m_file(std::move(file)), m_url(std::move(url)), m_drop(dropDatabase) {}
    ~TargetCleanup() {
        if (m_done) {
            return;
        }
        if (!m_file.isEmpty()) {
            RemoveFileWithSidecars(m_file);
            RemoveFileWithSidecars(CompanySchema::DefaultDetailPath(m_file));
        }
        if (m_drop) {
            try {
                ServerMaintenance(m_url)->ExecRaw(QStringLiteral("DROP DATABASE IF EXISTS ") +
                                                  Quoted(PostgresEngine::Parse(m_url).database) +
                                                  QStringLiteral(" WITH (FORCE)"));
            } catch (const DbError&) {
                // The server went away with the copy: the database holds nothing (its only
                // transaction never committed) and a later copy may still go into it.
            }
        }
    }
    void Done() { m_done = true; }
    TargetCleanup(const TargetCleanup&) = delete;
    TargetCleanup& operator=(const TargetCleanup&) = delete;

private:
    QString m_file;
    QString m_url;
    bool m_drop = false;
    bool m_done = false;
};

void CopyTable(Database& source, Database& target, const TableRef& table, const TableShape& shape,
               qint64 expected, Progress& progress, const ProgressFn& report) {
    const SqlDialect to = target.Dialect();
    const QString key = QString::fromUtf16(RowKeyColumn(to));
    QStringList names;
    for (const Column& c : shape.columns) {
        names << Quoted(c.name);
    }
    if (shape.rowKeyWritable) {
        names << Quoted(key);
    }
    const int width = static_cast<int>(names.size());
    const int batch = std::max(1, std::min(kRowsPerBatch, kValuesPerBatch / width));
    const QString head = QStringLiteral("INSERT INTO ") + table.Sql(to) + QStringLiteral(" (") +
                         names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES ");
    const QString one =
        QLatin1Char('(') + QStringList(width, QStringLiteral("?")).join(u',') + QLatin1Char(')');
    const auto insertOf = [&](int rows) {
        return head + QStringList(rows, one).join(QStringLiteral(", "));
    };
    std::unique_ptr<Statement> full;

    // Read forward only: the rows of a big table pass through, they are never all in memory.
    QSqlQuery read(source.Connection());
    read.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT ") + names.join(QStringLiteral(", ")) +
                           QStringLiteral(" FROM ") + table.Sql(source.Dialect()) +
                           QStringLiteral(" ORDER BY ") +
                           Quoted(QString::fromUtf16(RowKeyColumn(source.Dialect())));
    if (!read.exec(select)) {
        throw source.GetEngine().Error(select, read.lastError());
    }
    QVariantList values;
    values.reserve(batch * width);
    int pending = 0;
    qint64 copied = 0;
    const auto flush = [&] {
        if (pending == 0) {
            return;
        }
        if (pending == batch) {
            if (!full) {
                full = std::make_unique<Statement>(target, insertOf(batch));
            }
            full->Exec(values);
        } else {
            Statement rest(target, insertOf(pending));
            rest.Exec(values);
        }
        copied += pending;
        progress.done += pending;
        pending = 0;
        values.clear();
        if (report && !report(progress)) {
            throw UserError(QStringLiteral("Kopiranje je prekinuto; odredište nije napravljeno."));
        }
    };
    while (read.next()) {
        for (int c = 0; c < width; ++c) {
            values << ForTarget(read.value(c),
                                c < static_cast<int>(shape.columns.size()) ? shape.columns[c].kind
                                                                           : ValueKind::Plain,
                                to);
        }
        if (++pending == batch) {
            flush();
        }
    }
    if (read.lastError().type() != QSqlError::NoError) {
        throw source.GetEngine().Error(select, read.lastError());
    }
    flush();
    if (copied != expected) {
        throw DbError(table.Label(),
                      QStringLiteral("Tablica %1: pročitano redaka %2, a izvor ih ima %3.")
                          .arg(table.Label())
                          .arg(copied)
                          .arg(expected));
    }
}

// The target's shape of a table, which must have the source's columns.
TableShape SameShape(Database& source, Database& target, const TableRef& table) {
    TableShape shape = Shape(target, table);
    QStringList wanted;
    for (const Column& c : shape.columns) {
        wanted << c.name;
    }
    QStringList have;
    for (const Column& c : Shape(source, table).columns) {
        have << c.name;
    }
    wanted.sort();
    have.sort();
    if (wanted != have) {
        throw UserError(QStringLiteral("Tablica %1 nema iste stupce u izvoru i u novoj "
                                       "bazi: kopija nije moguća.")
                            .arg(table.Label()));
    }
    return shape;
}

}  // namespace

QString VersionMessage(const QString& source, int version) {
    if (version > CompanySchema::kCurrentVersion) {
        return QStringLiteral(
                   "Poduzeće %1 zapisala je novija verzija programa (verzija sheme %2, "
                   "ovaj program zna za %3): kopirajte ga tom verzijom.")
            .arg(source)
            .arg(version)
            .arg(CompanySchema::kCurrentVersion);
    }
    return QStringLiteral(
               "Poduzeće %1 ima stariju verziju sheme (%2, a ovaj program radi s %3). "
               "Otvorite ga najprije programom (ili zodractl check %1) da se shema "
               "osvježi, pa ga onda kopirajte.")
        .arg(source)
        .arg(version)
        .arg(CompanySchema::kCurrentVersion);
}

void CheckTarget(const QString& target) {
    if (!Database::IsServerTarget(target)) {
        if (QFileInfo::exists(target)) {
            throw UserError(QStringLiteral("Odredište %1 već postoji: kopija se ne zapisuje preko "
                                           "postojeće datoteke. Izaberite novo ime.")
                                .arg(target));
        }
        const QString detail = CompanySchema::DefaultDetailPath(target);
        if (QFileInfo::exists(detail)) {
            throw UserError(QStringLiteral("Uz odredište %1 već postoji datoteka detalja %2: "
                                           "izaberite novo ime ili najprije uklonite tu datoteku.")
                                .arg(target, detail));
        }
        if (!QFileInfo(QFileInfo(target).absolutePath()).isWritable()) {
            throw UserError(QStringLiteral("U mapu odredišta %1 ne može se pisati.").arg(target));
        }
        return;
    }
    const QString url = ServerUrl(target);
    if (!DatabaseExists(url)) {
        return;
    }
    auto db = Database::OpenRaw(url, false);
    if (db->Scalar(QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE schemaname IN "
                                  "('public', 'det')"))
            .toInt() > 0) {
        throw UserError(QStringLiteral("Baza podataka %1 na poslužitelju već postoji i nije "
                                       "prazna: kopija se ne zapisuje preko postojećih podataka. "
                                       "Izaberite novo ime ili praznu bazu podataka.")
                            .arg(PostgresEngine::Parse(url).database));
    }
}

int SourceVersion(const QString& source) {
    const bool server = Database::IsServerTarget(source);
    if (!server && !QFileInfo(source).isFile()) {
        throw UserError(QStringLiteral("Izvora %1 nema.").arg(source));
    }
    std::unique_ptr<Database> db;
    try {
        db = Database::OpenRaw(server ? ServerUrl(source) : source, false);
    } catch (const DbError& e) {
        throw UserError(
            QStringLiteral("Izvor %1 ne može se otvoriti: %2").arg(source, e.driverText()));
    }
    if (db->GetEngine().Identify(server ? ServerUrl(source) : source) !=
            Engine::TargetKind::Company ||
        !db->TableExists(QStringLiteral("ZODRA_META"))) {
        throw UserError(QStringLiteral("Izvor %1 nije Zodra poduzeće.").arg(source));
    }
    return db->SchemaVersion();
}

Summary Copy(Database& source, const QString& target, const QString& password,
             const ProgressFn& progress) {
    CheckTarget(target);
    if (!source.DetailAttached()) {
        throw UserError(
            QStringLiteral("Datoteka detalja poduzeća nije povezana%1: kopija ne bi imala "
                           "detaljnih računa. Povežite je u programu, pa kopirajte.")
                .arg(source.DetailProblem().isEmpty()
                         ? QString()
                         : QStringLiteral(" (") + source.DetailProblem() + QLatin1Char(')')));
    }
    Summary summary;
    summary.schemaVersion = source.SchemaVersion();
    if (summary.schemaVersion != CompanySchema::kCurrentVersion) {
        throw UserError(VersionMessage(source.Path(), summary.schemaVersion));
    }

    Snapshot snapshot(source);
    const std::vector<TableRef> tables = Tables(source);
    std::map<QString, qint64> counts;
    Progress state;
    for (const TableRef& table : tables) {
        const qint64 rows =
            source.Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table.Sql(source.Dialect()))
                .toLongLong();
        counts[table.Label()] = rows;
        const qint64 own = CountRows(source, table);
        summary.tables.push_back({table.Label(), own});
        summary.rows += own;
    }
    state.total = summary.rows;

    // The target: made new with this program's schema, which is the source's.
    const bool server = Database::IsServerTarget(target);
    const QString url = server ? ServerUrl(target) : QString();
    const QString file = server ? QString() : TemporaryPath(target);
    std::unique_ptr<TargetCleanup> cleanup;
    std::unique_ptr<Database> db;
    bool madeDatabase = false;
    if (server) {
        madeDatabase = !DatabaseExists(url);
        PostgresEngine::CreateDatabase(url);
        cleanup = std::make_unique<TargetCleanup>(QString(), url, madeDatabase);
        db = Database::OpenRaw(url, true);
    } else {
        // What a copy that was killed left under the temporary name is no one's.
        RemoveFileWithSidecars(file);
        RemoveFileWithSidecars(CompanySchema::DefaultDetailPath(file));
        cleanup = std::make_unique<TargetCleanup>(file, QString(), false);
        CompanySchema::CreateCompany(file, QDate::currentDate().year());
        auto opened = Database::Open(file, QString());
        if (opened.status != Database::OpenStatus::Ok) {
            throw DbError(file,
                          QStringLiteral("Nova datoteka se ne može otvoriti: ") + opened.detail);
        }
        db = std::move(opened.db);
    }
    {
        Transaction tx(*db);
        if (server) {
            CompanySchema::LoadServerSchema(*db);
        }
        std::vector<TableRef> made = Tables(*db);
        if (made != tables) {
            QStringList differing;
            for (const TableRef& t : tables) {
                if (std::find(made.begin(), made.end(), t) == made.end()) {
                    differing << t.Label();
                }
            }
            for (const TableRef& t : made) {
                if (std::find(tables.begin(), tables.end(), t) == tables.end()) {
                    differing << t.Label();
                }
            }
            throw UserError(QStringLiteral("Izvor i nova baza nemaju iste tablice (%1): kopija "
                                           "nije moguća.")
                                .arg(differing.join(QStringLiteral(", "))));
        }
        // The rows the new company was made with give way to the source's.
        for (const TableRef& table : made) {
            db->ExecRaw(QStringLiteral("DELETE FROM ") + table.Sql(db->Dialect()));
        }
        for (const TableRef& table : tables) {
            const TableShape shape = SameShape(source, *db, table);
            state.table = table.Label();
            CopyTable(source, *db, table, shape, counts[table.Label()], state, progress);
        }
        if (server) {
            // New rows continue after the copied keys.
            PostgresEngine::ResetSequences(*db);
        }
        // The target's own facts: its detail store is its own, its schema version is the
        // source's, kept the way its engine keeps it.
        db->Exec(QStringLiteral("DELETE FROM \"ZODRA_META\" WHERE \"Naziv\" IN (?, ?)"),
                 {kEngineFacts.at(0), kEngineFacts.at(1)});
        db->GetEngine().SetSchemaVersion(*db, summary.schemaVersion);
        const QStringList wrong = CountDifferences(*db, summary);
        if (!wrong.isEmpty()) {
            throw DbError(target, QStringLiteral("Broj redaka nove baze razlikuje se od izvora: ") +
                                      wrong.join(QStringLiteral("; ")));
        }
        tx.Commit();
    }
    db.reset();
    if (!server) {
        const QString detail = CompanySchema::DefaultDetailPath(target);
        if (!QFile::rename(CompanySchema::DefaultDetailPath(file), detail)) {
            throw DbError(target, QStringLiteral("Datoteka se ne može zapisati: ") + detail);
        }
        if (!QFile::rename(file, target)) {
            QFile::remove(detail);
            throw DbError(target, QStringLiteral("Datoteka se ne može zapisati: ") + target);
        }
        QFile::remove(CompanyLock::LockPath(file));
    }
    cleanup->Done();

    // Afterwards the target is opened as a company, with the source's password, and counted.
    auto opened = Database::Open(target, password);
    QStringList wrong;
    if (opened.status != Database::OpenStatus::Ok) {
        wrong << QStringLiteral("nova baza se ne otvara (%1 %2)")
                     .arg(QString::fromLatin1(ToString(opened.status)), opened.detail);
    } else {
        wrong = CountDifferences(*opened.db, summary);
    }
    if (!wrong.isEmpty()) {
        opened.db.reset();
        TargetCleanup remove(server ? QString() : target, url, madeDatabase);
        throw DbError(target, QStringLiteral("Provjera kopije nije prošla, kopija je uklonjena: ") +
                                  wrong.join(QStringLiteral("; ")));
    }
    return summary;
}

QStringList CountDifferences(Database& db, const Summary& summary) {
    QStringList wrong;
    for (const TableCount& t : summary.tables) {
        const bool detail = t.table.startsWith(kDetail + QLatin1Char('.'));
        const TableRef ref{detail, detail ? t.table.mid(kDetail.size() + 1) : t.table};
        const qint64 rows = CountRows(db, ref);
        if (rows != t.rows) {
            wrong << QStringLiteral("%1: %2 umjesto %3").arg(t.table).arg(rows).arg(t.rows);
        }
    }
    return wrong;
}

qint64 CopyTableRows(Database& source, Database& target, const QString& table) {
    const TableRef ref{false, table};
    const TableShape shape = SameShape(source, target, ref);
    const qint64 rows =
        source.Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + ref.Sql(source.Dialect()))
            .toLongLong();
    target.ExecRaw(QStringLiteral("DELETE FROM ") + ref.Sql(target.Dialect()));
    Progress progress;
    progress.table = table;
    progress.total = rows;
    CopyTable(source, target, ref, shape, rows, progress, {});
    return rows;
}

}  // namespace zodra::companycopy
