#include <QFile>
#include <optional>

#include "assets/FixedAssetJson.h"
#include "assets/FixedAssetRegister.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "reports/ReportEngine.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

const char* kDeleteUsage =
    "upotreba: zodractl delete PUTANJA dugotrajna-imovina REDNI_BROJ --godina G [--da]";
const char* kReportUsage = "upotreba: zodractl pdi PUTANJA --godina G --pdf IZLAZ.pdf";

std::optional<int> Year(const QString& text) {
    bool ok = false;
    const int year = text.toInt(&ok);
    if (!ok || year < 2000 || year > 2099) {
        Err(QStringLiteral("Godina nije ispravna: ") + text);
        return std::nullopt;
    }
    return year;
}

// Opens the company and runs `operation` on it; the register needs no warehouse and no
// session, only the year. Refusals and database failures are reported with their own text.
int OnCompany(const QString& path, const std::function<void(zodra::Database&)>& operation) {
    zodra::Database::OpenResult opened = OpenWithPassword(path);
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    try {
        operation(*opened.db);
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QString::fromUtf8(e.what()));
        return e.isDamage() ? kDamaged : kRefused;
    }
    return kOk;
}

}  // namespace

int PostFixedAsset(const QString& path, const QByteArray& json) {
    // The file is read and checked before the company is opened.
    zodra::assets::JsonFixedAsset file;
    try {
        file = zodra::assets::ParseFixedAssetJson(json);
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
    return OnCompany(path, [&](zodra::Database& db) {
        Out(zodra::assets::PostedMessage(zodra::assets::PostFixedAssetFromJson(db, file),
                                         file.year));
    });
}

int DeleteFixedAsset(const QStringList& args) {
    if (args.size() < 3) {
        Err(QString::fromUtf8(kDeleteUsage));
        return kUsage;
    }
    bool ok = false;
    const int number = args.at(2).toInt(&ok);
    if (!ok || number <= 0) {
        Err(QStringLiteral("Redni broj nije ispravan: ") + args.at(2));
        return kUsage;
    }
    std::optional<int> year;
    bool yes = false;
    for (qsizetype i = 3; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--godina") && i + 1 < args.size()) {
            year = Year(args.at(++i));
            if (!year) {
                return kUsage;
            }
        } else if (args.at(i) == QLatin1String("--da")) {
            yes = true;
        } else {
            Err(QString::fromUtf8(kDeleteUsage));
            return kUsage;
        }
    }
    if (!year) {
        Err(QString::fromUtf8(kDeleteUsage));
        return kUsage;
    }
    return OnCompany(args.at(0), [&](zodra::Database& db) {
        namespace a = zodra::assets;
        std::optional<a::FixedAsset> row;
        for (const a::FixedAsset& asset : a::ListAssets(db, *year)) {
            if (asset.number == number) {
                row = asset;
            }
        }
        if (!row) {
            throw zodra::UserError(
                QStringLiteral("Dugotrajna imovina pod rednim brojem %1 u godini %2 ne postoji.")
                    .arg(number)
                    .arg(*year));
        }
        CommandLinePrompter prompter(yes, true);
        if (!prompter.AskYesNo(a::DeleteQuestion(), a::ListCaption(), false)) {
            throw zodra::UserError(QStringLiteral("Stavka nije obrisana."));
        }
        a::DeleteAsset(db, *year, row->table, number);
        Out(QStringLiteral("Dugotrajna imovina pod rednim brojem %1 u godini %2 je obrisana.")
                .arg(number)
                .arg(*year));
    });
}

int FixedAssetReport(const QStringList& args) {
    std::optional<int> year;
    QString pdf;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (i + 1 >= args.size()) {
            Err(QString::fromUtf8(kReportUsage));
            return kUsage;
        }
        if (args.at(i) == QLatin1String("--godina")) {
            year = Year(args.at(++i));
            if (!year) {
                return kUsage;
            }
        } else if (args.at(i) == QLatin1String("--pdf")) {
            pdf = args.at(++i);
        } else {
            Err(QString::fromUtf8(kReportUsage));
            return kUsage;
        }
    }
    if (args.isEmpty() || !year || pdf.isEmpty()) {
        Err(QString::fromUtf8(kReportUsage));
        return kUsage;
    }
    return OnCompany(args.at(0), [&](zodra::Database& db) {
        const int pages = zodra::reports::ReportEngine(db).ToPdf(
            zodra::assets::AssetReportRequest(db, *year), pdf);
        Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
            QString::number(pages) + QStringLiteral(")."));
    });
}

}  // namespace zodractl
