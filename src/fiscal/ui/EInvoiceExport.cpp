#include "fiscal/ui/EInvoiceExport.h"

#include <QDir>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Paths.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "fiscal/EInvoice.h"
#include "fiscal/FiscalSettings.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::fiscal::ui {

namespace {

const QString kTitle = QStringLiteral("eRačun");

const QString kFolderKey = QStringLiteral("eRačun - mapa posrednika");

// The workstation's configuration file holds the folder; the configuration window lists it.
QString StoredFolder() {
    auto db = Database::OpenRaw(paths::WorkstationConfigFile(), true);
    db->ExecRaw(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"Konfiguracija\" (\"Naziv\" TEXT "
                       "PRIMARY KEY, \"Vrijednost\" TEXT)"));
    return db
        ->Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                 {kFolderKey})
        .toString()
        .trimmed();
}

void StoreFolder(const QString& folder) {
    auto db = Database::OpenRaw(paths::WorkstationConfigFile(), true);
    if (db->Exec(
            QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
            {folder, kFolderKey}) == 0) {
        db->Exec(QStringLiteral(
                     "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
                 {kFolderKey, folder});
    }
}

// The intermediary's folder: the workstation's, or asked for (and made) and kept for it.
QString PickUpFolder(zodra::ui::WindowHost& host) {
    QString folder = StoredFolder();
    const bool asked = folder.isEmpty();
    if (asked) {
        const std::optional<QString> typed = host.UserPrompter().AskText(
            QStringLiteral("Mapa iz koje informacijski posrednik preuzima eRačune:"), kTitle,
            QDir::home().filePath(QStringLiteral("eRacun")));
        if (!typed || typed->trimmed().isEmpty()) {
            return {};
        }
        folder = typed->trimmed();
    }
    if (!QDir().mkpath(folder)) {
        throw UserError(QStringLiteral("Mapu ") + folder +
                        QStringLiteral(" nije moguće napraviti."));
    }
    if (asked) {
        StoreFolder(folder);
    }
    return folder;
}

// Asks for the operator's OIB when the company file has no valid one; false when cancelled.
bool EnsureOperatorOib(zodra::ui::WindowHost& host, const QString& user) {
    Database& db = host.CurrentSession().Db();
    const QString stored = OperatorOib(db, user).trimmed();
    if (IsValidOib(stored)) {
        return true;
    }
    const std::optional<QString> typed = host.UserPrompter().AskText(
        QStringLiteral("OIB operatera ") + user + QLatin1Char(':'), kTitle, stored);
    if (!typed) {
        return false;
    }
    SetOperatorOib(db, user, typed->trimmed());
    return true;
}

}  // namespace

QStringList ExportEInvoice(zodra::ui::WindowHost& host, int book, int number) {
    QStringList written;
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        Session& session = host.CurrentSession();
        const int warehouse = session.activeWarehouse.code;
        const int year = session.businessYear;
        const QString user = InvoiceOperator(session.Db(), warehouse, book, year, number);
        if (!user.isEmpty() && !EnsureOperatorOib(host, user)) {
            return;
        }
        const EInvoiceData data = ReadEInvoiceData(session.Db(), warehouse, book, year, number);
        const QString folder = PickUpFolder(host);
        if (folder.isEmpty()) {
            return;
        }
        QList<EInvoiceKind> kinds{EInvoiceKind::Invoice};
        if (data.cancelled) {
            kinds << EInvoiceKind::CreditNote;
        }
        for (const EInvoiceKind kind : kinds) {
            const QString path = QDir(folder).filePath(EInvoiceFileName(data, kind));
            IssueEInvoice(session, data, kind, path);
            written << QDir::toNativeSeparators(path);
        }
        host.UserPrompter().Inform(
            (written.size() == 1 ? QStringLiteral("eRačun je zapisan u datoteku ")
                                 : QStringLiteral("eRačun i odobrenje su zapisani u datoteke ")) +
                written.join(QStringLiteral(", ")) + QLatin1Char('.'),
            kTitle);
    });
    return written;
}

}  // namespace zodra::fiscal::ui
