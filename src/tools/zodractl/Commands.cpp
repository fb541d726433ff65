#include "tools/zodractl/Commands.h"

#include <QDate>
#include <QFileInfo>

#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "demo/DemoCompany.h"
#include "maintenance/Maintenance.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

using zodra::Database;

int ExitFor(Database::OpenStatus status) {
    switch (status) {
        case Database::OpenStatus::Ok:
            return kOk;
        case Database::OpenStatus::Missing:
            return kMissing;
        case Database::OpenStatus::WrongPassword:
            return kWrongPassword;
        case Database::OpenStatus::NotACompany:
            return kNotACompany;
        case Database::OpenStatus::Damaged:
            return kDamaged;
        case Database::OpenStatus::TooNew:
            return kTooNew;
        case Database::OpenStatus::Locked:
        case Database::OpenStatus::ReadOnly:
        case Database::OpenStatus::Unreachable:
            return kLocked;
    }
    return kRefused;
}

QString StatusText(Database::OpenStatus status) {
    switch (status) {
        case Database::OpenStatus::Ok:
            return QStringLiteral("u redu");
        case Database::OpenStatus::Missing:
            return QStringLiteral("Ove datoteke nema.");
        case Database::OpenStatus::WrongPassword:
            return QStringLiteral("Nije upisan točan password.");
        case Database::OpenStatus::NotACompany:
            return QStringLiteral("Datoteka nije Zodra baza podataka.");
        case Database::OpenStatus::Damaged:
            return QStringLiteral("Datoteka je oštećena.");
        case Database::OpenStatus::TooNew:
            return QStringLiteral("Datoteku je zapisala novija verzija programa.");
        case Database::OpenStatus::Locked:
            return QStringLiteral("Datoteku drži zaključanu drugi program.");
        case Database::OpenStatus::ReadOnly:
            return QStringLiteral("Datoteka se ne može mijenjati (samo za čitanje).");
        case Database::OpenStatus::Unreachable:
            return QStringLiteral("Poslužitelj baze podataka nije dostupan.");
    }
    return QString();
}

Database::OpenResult OpenWithPassword(const QString& path, QString* usedPassword) {
    // The company is opened once: with the password from the environment when it is given,
    // else without one, and asked for only when the file has one.
    QString password;
    if (qEnvironmentVariableIsSet("ZODRA_PASSWORD")) {
        password = qEnvironmentVariable("ZODRA_PASSWORD");
    } else {
        auto result = Database::Open(path, QString());
        if (result.status != Database::OpenStatus::WrongPassword) {
            return result;
        }
        password = ReadPassword("ZODRA_PASSWORD", QStringLiteral("Password baze podataka: "));
    }
    if (usedPassword) {
        *usedPassword = password;
    }
    return Database::Open(path, password);
}

int ReportOpenFailure(const Database::OpenResult& opened) {
    Err(StatusText(opened.status) +
        (opened.detail.isEmpty() ? QString()
                                 : QStringLiteral(" (") + opened.detail + QStringLiteral(")")));
    return ExitFor(opened.status);
}

int Create(const QStringList& args) {
    if (args.size() != 1) {
        Err(QStringLiteral("upotreba: zodractl create PUTANJA"));
        return kUsage;
    }
    const QString path = args.at(0);
    try {
        zodra::CompanySchema::CreateCompany(path, QDate::currentDate().year());
        const QString password = ReadPassword(
            "ZODRA_PASSWORD", QStringLiteral("Password nove baze (prazno = bez passworda): "));
        if (!password.isEmpty()) {
            auto opened = Database::Open(path, QString());
            opened.db->SetPassword(password);
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return kRefused;
    }
    if (Database::IsServerTarget(path)) {
        Out(QStringLiteral("Napravljeno poduzeće ") + path);
    } else {
        Out(QStringLiteral("Napravljeno poduzeće ") + path + QStringLiteral(" (detalji: ") +
            zodra::CompanySchema::DefaultDetailPath(path) + QStringLiteral(")"));
    }
    return kOk;
}

int Check(const QStringList& args) {
    if (args.size() != 1) {
        Err(QStringLiteral("upotreba: zodractl check PUTANJA"));
        return kUsage;
    }
    const QString path = args.at(0);
    auto opened = OpenWithPassword(path);
    if (opened.status != Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    Database& db = *opened.db;
    const QString integrity = zodra::compaction::IntegrityCheck(path);
    Out(QStringLiteral("Verzija sheme: ") + QString::number(db.SchemaVersion()));
    Out(QStringLiteral("Provjera ispravnosti: ") + integrity);
    Out(QStringLiteral("Datoteka detalja: ") + db.DetailPath() +
        (db.DetailAttached()            ? QString()
         : db.DetailProblem().isEmpty() ? QStringLiteral(" (NEDOSTAJE)")
                                        : QStringLiteral(" (NIJE POVEZANA)")));
    if (!db.DetailProblem().isEmpty()) {
        Err(db.DetailProblem());
    }
    if (db.PendingDetailCount() > 0) {
        Out(QStringLiteral("Neprimijenjene promjene datoteke detalja: ") +
            QString::number(db.PendingDetailCount()));
    }
    for (const char16_t* table : {u"SKLADISTA", u"ARTIKLI", u"PARTNERI", u"USLUGE", u"GRUPE_POREZA",
                                  u"KORISNICI", u"PRIMKE", u"STAVKE_PRIMKI", u"NABAVE", u"RACUNI",
                                  u"STAVKE_RACUNA", u"TRGOVACKA_KNJIGA_VELEPRODAJE"}) {
        const QString name = QString::fromUtf16(table);
        Out(name + QStringLiteral(": ") +
            db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + name + QStringLiteral("\""))
                .toString());
    }
    if (integrity != QLatin1String("ok")) {
        return kDamaged;
    }
    return db.DetailProblem().isEmpty() ? kOk : kDamaged;
}

int Compact(const QStringList& args) {
    if (args.size() != 1) {
        Err(QStringLiteral("upotreba: zodractl compact PUTANJA"));
        return kUsage;
    }
    const QString path = args.at(0);
    QString password;
    auto opened = OpenWithPassword(path, &password);
    if (opened.status == Database::OpenStatus::Damaged) {
        opened.db.reset();
        const auto repaired = zodra::compaction::Repair(path);
        if (!repaired.ok) {
            Err(repaired.message);
            return kDamaged;
        }
        Out(QStringLiteral("Popravak datoteke napravljen uspješno. Original je sačuvan kao ") +
            repaired.keptOriginal);
        return kOk;
    }
    if (opened.status != Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    if (!opened.db->GetEngine().CompactsByCopy()) {
        Out(QStringLiteral("Baza na poslužitelju održava se sama: sažimanje nije potrebno."));
        return kOk;
    }
    opened.db.reset();
    const auto result = zodra::compaction::Compact(path, password);
    if (!result.ok) {
        Err(result.message);
        return kRefused;
    }
    if (result.keptOriginal.isEmpty()) {
        Out(QStringLiteral("Pakiranje datoteke napravljeno uspješno."));
    } else {
        Out(QStringLiteral("Popravak datoteke napravljen uspješno. Original je sačuvan kao ") +
            result.keptOriginal);
    }
    if (!result.detailMessage.isEmpty()) {
        Err(QStringLiteral("Datoteka detalja nije sažeta: ") + result.detailMessage);
        return kDamaged;
    }
    return kOk;
}

int Passwd(const QStringList& args) {
    if (args.size() != 1) {
        Err(QStringLiteral("upotreba: zodractl passwd PUTANJA"));
        return kUsage;
    }
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    const QString password =
        ReadPassword("ZODRA_NEW_PASSWORD", QStringLiteral("Upišite novi password: "));
    try {
        zodra::maintenance::ChangePassword(*opened.db, password);
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
    Out(QStringLiteral("Password je promijenjen!"));
    return kOk;
}

int Sql(const QStringList& args) {
    QStringList rest = args;
    const bool write = rest.removeAll(QStringLiteral("--write")) > 0;
    if (rest.size() != 2) {
        Err(QStringLiteral("upotreba: zodractl sql PUTANJA \"SELECT …\" [--write]"));
        return kUsage;
    }
    auto opened = OpenWithPassword(rest.at(0));
    if (opened.status != Database::OpenStatus::Ok) {
        Err(StatusText(opened.status));
        return ExitFor(opened.status);
    }
    Database& db = *opened.db;
    try {
        if (!write) {
            db.SetReadOnlyGuard();
        }
        zodra::Statement statement = db.Prepare(rest.at(1));
        statement.Exec();
        const int columns = statement.ColumnCount();
        if (columns > 0) {
            QStringList header;
            for (int c = 0; c < columns; ++c) {
                header << statement.ColumnName(c);
            }
            Out(header.join(QLatin1Char('\t')));
            while (statement.Next()) {
                QStringList row;
                for (int c = 0; c < columns; ++c) {
                    row << (statement.IsNull(c) ? QStringLiteral("NULL") : statement.Text(c));
                }
                Out(row.join(QLatin1Char('\t')));
            }
        } else {
            Out(QStringLiteral("Promijenjeno redaka: ") +
                QString::number(statement.RowsAffected()));
        }
    } catch (const zodra::DbError& e) {
        if (e.isReadOnlyRefusal()) {
            Err(
                QStringLiteral("Bez --write baza se samo čita: naredba je odbijena jer bi "
                               "mijenjala bazu podataka ili pisala u datoteku."));
        } else {
            Err(e.driverText());
        }
        return kRefused;
    }
    return kOk;
}

int Demo(const QStringList& args) {
    if (args.size() != 1) {
        Err(QStringLiteral("upotreba: zodractl demo PUTANJA"));
        return kUsage;
    }
    try {
        zodra::demo::CreateDemoCompany(args.at(0), QDate::currentDate());
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return kRefused;
    }
    Out(QStringLiteral("Napravljeno demo poduzeće ") + args.at(0));
    return kOk;
}

}  // namespace zodractl
