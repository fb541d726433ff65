#include "data/Transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"

namespace zodra {

namespace {
QString SavepointName(int level) {
    return QStringLiteral("\"zodra_sp%1\"").arg(level);
}

QJsonValue Encode(const QVariant& value) {
    QJsonObject o;
    if (!value.isValid() || value.isNull()) {
        o.insert(QStringLiteral("t"), QStringLiteral("n"));
        return o;
    }
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            o.insert(QStringLiteral("t"), QStringLiteral("i"));
            o.insert(QStringLiteral("v"), QString::number(value.toLongLong()));
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            o.insert(QStringLiteral("t"), QStringLiteral("d"));
            o.insert(QStringLiteral("v"), value.toDouble());
            break;
        case QMetaType::QByteArray:
            o.insert(QStringLiteral("t"), QStringLiteral("b"));
            o.insert(QStringLiteral("v"), QString::fromLatin1(value.toByteArray().toBase64()));
            break;
        default:
            o.insert(QStringLiteral("t"), QStringLiteral("s"));
            o.insert(QStringLiteral("v"), value.toString());
            break;
    }
    return o;
}
}  // namespace

Transaction::Transaction(Database& db, Locking locking) : m_db(db), m_level(db.m_depth) {
    if (m_level == 0) {
        if (locking == Locking::Rows && m_db.GetEngine().HasRowLocks()) {
            m_db.GetEngine().BeginRowWrite(m_db);
            m_db.m_companyLockLevel = -1;
            m_db.Checkpoint("rows-begun");
        } else {
            m_db.GetEngine().BeginWrite(m_db);
            m_db.m_companyLockLevel = 0;
            m_db.Checkpoint("write-begun");
        }
        m_db.m_detailToken = 0;
        m_db.m_detailRow = 0;
    } else {
        if (locking == Locking::Company && m_db.m_companyLockLevel < 0) {
            // Taken before the savepoint, so that it belongs to the enclosing work.
            m_db.GetEngine().LockCompany(m_db);
            m_db.m_companyLockLevel = m_level - 1;
            m_db.Checkpoint("write-begun");
        }
        m_db.ExecRaw(QStringLiteral("SAVEPOINT ") + SavepointName(m_level));
    }
    ++m_db.m_depth;
}

Transaction::~Transaction() {
    if (m_committed) {
        return;
    }
    --m_db.m_depth;
    try {
        if (m_level == 0) {
            m_db.ExecRaw(QStringLiteral("ROLLBACK"));
            m_db.m_detailToken = 0;
        } else {
            if (m_db.m_companyLockLevel >= m_level) {
                m_db.m_companyLockLevel = -1;  // the rolled-back work's lock went with it
            }
            m_db.ExecRaw(QStringLiteral("ROLLBACK TO ") + SavepointName(m_level));
            m_db.ExecRaw(QStringLiteral("RELEASE ") + SavepointName(m_level));
        }
    } catch (const DbError&) {
        // A failed rollback leaves SQLite rolled back already (the usual cause is that the
        // engine aborted the transaction itself); nothing more can be done in a destructor.
    }
}

void Transaction::Commit() {
    Q_ASSERT(!m_committed);
    Q_ASSERT(m_db.m_depth == m_level + 1);
    if (m_level == 0) {
        m_db.ExecRaw(QStringLiteral("COMMIT"));
        m_committed = true;
        m_db.Checkpoint("committed");
        --m_db.m_depth;
        const bool hadDetail = m_db.m_detailToken != 0;
        m_db.m_detailToken = 0;
        if (hadDetail) {
            try {
                m_db.ApplyPendingDetail();
            } catch (const DbError&) {
                // The posting itself is committed; its detail-file changes stay logged in the
                // company file and are applied at the next opportunity (at the latest when the
                // company is opened again).
            }
        }
    } else {
        m_db.ExecRaw(QStringLiteral("RELEASE ") + SavepointName(m_level));
        m_committed = true;
        --m_db.m_depth;
    }
}

void Transaction::DeferDetail(const QString& sql, const QVariantList& params) {
    if (m_db.GetEngine().DetailInCompanyDatabase()) {
        // One database, one transaction: the change is made now and commits with the rest.
        m_db.Exec(sql, params);
        return;
    }
    QJsonArray encoded;
    for (const QVariant& p : params) {
        encoded.append(Encode(sqlvalue::ToDb(p, m_db.Dialect())));
    }
    const QString json = QString::fromUtf8(QJsonDocument(encoded).toJson(QJsonDocument::Compact));
    if (m_db.m_detailToken == 0) {
        m_db.Exec(QStringLiteral("INSERT INTO \"DET_ODGODENO\" (\"TOKEN\", \"RBR\", \"SQL\", "
                                 "\"PARAMETRI\") VALUES (0, 0, ?, ?)"),
                  {sql, json});
        const qint64 id =
            m_db.Scalar(QStringLiteral("SELECT MAX(\"ID\") FROM \"DET_ODGODENO\"")).toLongLong();
        m_db.Exec(QStringLiteral("UPDATE \"DET_ODGODENO\" SET \"TOKEN\" = ? WHERE \"ID\" = ?"),
                  {id, id});
        m_db.m_detailToken = id;
        m_db.m_detailRow = 1;
        return;
    }
    m_db.Exec(QStringLiteral("INSERT INTO \"DET_ODGODENO\" (\"TOKEN\", \"RBR\", \"SQL\", "
                             "\"PARAMETRI\") VALUES (?, ?, ?, ?)"),
              {m_db.m_detailToken, m_db.m_detailRow++, sql, json});
}

}  // namespace zodra
