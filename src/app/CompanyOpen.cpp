#include "app/CompanyOpen.h"

#include <QFileInfo>

#include "app/CompanyData.h"
#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"

namespace zodra::companyopen {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Messages for a file that is refused as it stands.
QString RefusalText(Database::OpenStatus status) {
    switch (status) {
        case Database::OpenStatus::Missing:
            return T(u"Ove datoteke nema.");
        case Database::OpenStatus::NotACompany:
            return T(u"Nije izabrana Zodra datoteka ili je datoteka oštećena.");
        case Database::OpenStatus::Locked:
            return T(
                u"Datoteka je zaključana: otvorena je u drugom programu ili se održava na "
                u"drugom računalu. Pokušajte ponovno kasnije.");
        case Database::OpenStatus::ReadOnly:
            return T(
                u"Datoteka ili njena mapa zaštićena je od pisanja. Poduzeće se ne može "
                u"otvoriti.");
        case Database::OpenStatus::Unreachable:
            return T(
                u"Poslužitelj baze podataka nije dostupan. Provjerite vezu i pokušajte "
                u"ponovno.");
        case Database::OpenStatus::TooNew:
            return T(
                u"Datoteku je zapisala novija verzija programa Zodra. Otvorite je novijom "
                u"verzijom programa.");
        default:
            return QString();
    }
}

// A detail file that is not this company's is left alone; the user may link the right one at
// once (or later in the settings).
void OfferDetailRelink(Database& db, Prompter& prompter) {
    while (!db.DetailProblem().isEmpty()) {
        if (!prompter.AskYesNo(
                db.DetailProblem() + T(u"\nDetaljni računi nisu dostupni dok se ne poveže ispravna "
                                       u"datoteka. Želite li sada povezati datoteku detalja?"),
                T(u"Datoteka detalja"))) {
            return;
        }
        const QString path = prompter.ChooseFileToOpen(T(u"Baza podataka za detaljne račune"),
                                                       T(u"Zodra datoteke|*.det"),
                                                       QFileInfo(db.Path()).absolutePath());
        if (path.isEmpty()) {
            return;
        }
        try {
            companydata::RelinkDetailFile(db, path);
        } catch (const UserError& e) {
            prompter.Inform(e.message(), T(u"Datoteka detalja"));
        }
    }
}

}  // namespace

Opened Open(const QString& path, Prompter& prompter, const QString& password) {
    Opened result;
    if (path.isEmpty()) {
        return result;
    }
    QString pwd = password;
    for (;;) {
        Database::OpenResult r = Database::Open(path, pwd);
        switch (r.status) {
            case Database::OpenStatus::Ok:
                result.db = std::move(r.db);
                result.password = pwd;
                OfferDetailRelink(*result.db, prompter);
                return result;
            case Database::OpenStatus::WrongPassword: {
                const auto answer = prompter.AskPassword(
                    T(u"Upišite password za izabranu bazu podataka."), T(u"Password"));
                if (!answer || answer->isEmpty()) {
                    prompter.Inform(T(u"Nije upisan točan password."));
                    return result;
                }
                pwd = *answer;
                continue;
            }
            case Database::OpenStatus::Damaged: {
                if (result.repaired) {
                    prompter.Inform(T(u"Datoteka se ni nakon popravka ne može otvoriti."));
                    return result;
                }
                prompter.Inform(
                    T(u"Nije izabrana Zodra datoteka ili je datoteka oštećena. "
                      u"Bit će napravljen popravak datoteke."));
                const compaction::Result repair = compaction::Repair(path);
                if (!repair.ok) {
                    prompter.Inform(T(u"Popravak datoteke nije uspio. ") + repair.message);
                    return result;
                }
                result.repaired = true;
                prompter.Inform(
                    T(u"Popravak datoteke napravljen uspješno. Možete nastaviti sa radom."));
                continue;
            }
            default:
                prompter.Inform(RefusalText(r.status));
                return result;
        }
    }
}

bool CreateNew(const QString& path, Prompter& prompter, const QDate& today) {
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo::exists(path) || QFileInfo::exists(CompanySchema::DefaultDetailPath(path))) {
        prompter.Inform(T(u"Za novu datoteku morate izabrati novo ime !"));
        return false;
    }
    try {
        CompanySchema::CreateCompany(path, today.year());
    } catch (const UserError& e) {
        prompter.Inform(e.message());
        return false;
    } catch (const DbError& e) {
        prompter.Inform(T(u"Novo poduzeće nije moguće zapisati: ") + e.driverText());
        return false;
    }
    return true;
}

}  // namespace zodra::companyopen
