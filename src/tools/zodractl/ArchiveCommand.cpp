// zodractl archive and restore: the company and its detail file into a zip archive, and back
// into a new company file.
#include <QFileInfo>

#include "data/Errors.h"
#include "maintenance/Archive.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

int Archive(const QStringList& args) {
    if (args.size() != 2) {
        Err(QStringLiteral("upotreba: zodractl archive PUTANJA ARHIVA.zip"));
        return kUsage;
    }
    auto opened = OpenWithPassword(args.at(0));
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    try {
        const QStringList packed = zodra::maintenance::ArchiveCompany(*opened.db, args.at(1));
        Out(QStringLiteral("Arhiva ") + args.at(1) + QStringLiteral(" napravljena: ") +
            packed.join(QStringLiteral(", ")));
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(e.driverText());
        return kRefused;
    }
    return kOk;
}

int Restore(const QStringList& args) {
    if (args.size() != 2) {
        Err(QStringLiteral("upotreba: zodractl restore ARHIVA.zip NOVA.mdb"));
        return kUsage;
    }
    try {
        const auto restored = zodra::maintenance::Restore(args.at(0), args.at(1));
        Out(QStringLiteral("Poduzeće vraćeno iz arhive u ") + restored.companyPath +
            QStringLiteral(" (verzija sheme ") + QString::number(restored.schemaVersion) +
            QStringLiteral(")"));
        if (restored.detailPath.isEmpty()) {
            Out(QStringLiteral("U arhivi nije bilo datoteke detalja."));
        } else {
            Out(QStringLiteral("Datoteka detalja: ") + restored.detailPath);
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
    return kOk;
}

}  // namespace zodractl
