#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "books/InventoryBook.h"
#include "books/KpiBook.h"
#include "books/KpiDailySales.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/DocumentDoors.h"
#include "tools/zodractl/RangeFlags.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

namespace b = zodra::books;

const char* kKpiUsage =
    "upotreba: zodractl kpi PUTANJA --od DD.MM.GGGG --do DD.MM.GGGG --pdf IZLAZ.pdf "
    "[--skladiste N] [--rbr-od N] [--rbr-do N] [--po-tipovima] [--obnovi-promet]";
const char* kKpUsage =
    "upotreba: zodractl kp PUTANJA --skladiste N --od DD.MM.GGGG --do DD.MM.GGGG --pdf "
    "IZLAZ.pdf [--ispis kp1|kp|kp_sum]";

// The JSON keys of the eleven amounts, in the book's order.
const char* const kAmountKeys[b::kKpiAmountCount] = {
    "primici_u_gotovini", "primici_na_ziro_racun", "primici_u_naravi",         "pdv_u_primicima",
    "ukupni_primici",     "izdaci_u_gotovini",     "izdaci_putem_ziro_racuna", "izdaci_u_naravi",
    "pdv_u_izdacima",     "izdaci_iz_cl_19",       "ukupno_dopusteni_izdaci"};

struct BookArgs {
    int warehouse = 0;
    zodra::reports::RangeInput input;
    QString pdf;
    QString print;
    bool byType = false;
    bool rebuild = false;
};

// Reads the flags both book commands share; false on a usage fault, which it reports.
bool ParseBookArgs(const QStringList& args, const char* usage, BookArgs& out) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--po-tipovima")) {
            out.byType = true;
            continue;
        }
        if (flag == QLatin1String("--obnovi-promet")) {
            out.rebuild = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            Err(QString::fromUtf8(usage));
            return false;
        }
        const QString& value = args.at(++i);
        if (flag == QLatin1String("--skladiste")) {
            out.warehouse = value.toInt();
        } else if (TakeDateFlag(flag, value, out.input)) {
        } else if (flag == QLatin1String("--rbr-od")) {
            out.input.withNumbers = true;
            out.input.firstText = value;
        } else if (flag == QLatin1String("--rbr-do")) {
            out.input.withNumbers = true;
            out.input.lastText = value;
        } else if (flag == QLatin1String("--pdf")) {
            out.pdf = value;
        } else if (flag == QLatin1String("--ispis")) {
            out.print = value;
        } else {
            Err(QString::fromUtf8(usage));
            return false;
        }
    }
    if (args.isEmpty() || out.input.fromText.isEmpty() || out.input.toText.isEmpty() ||
        out.pdf.isEmpty()) {
        Err(QString::fromUtf8(usage));
        return false;
    }
    if (out.input.withNumbers) {
        // One number given: the other end stays open.
        if (out.input.firstText.isEmpty()) {
            out.input.firstText = QStringLiteral("1");
        }
        if (out.input.lastText.isEmpty()) {
            out.input.lastText = QStringLiteral("999999999");
        }
    }
    return true;
}

// The warehouse a command without --skladiste works in: the book of receipts and expenditures
// is the company's, so any will do; the lowest code.
int AnyWarehouse(const QString& path) {
    zodra::Database::OpenResult opened = OpenWithPassword(path);
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return 0;
    }
    return opened.db->Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"SKLADISTA\"")).toInt();
}

void Written(int pages, const QString& pdf) {
    Out(QStringLiteral("Izvještaj je zapisan u ") + pdf + QStringLiteral(" (stranica: ") +
        QString::number(pages) + QStringLiteral(")."));
}

double Amount(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) {
        return 0;
    }
    if (!v.isDouble()) {
        throw zodra::UserError(QStringLiteral("Iznos \"") + QLatin1String(key) +
                               QStringLiteral("\" nije broj."));
    }
    return v.toDouble();
}

// An entry from a file: {"vrsta": "kpi", "redni_broj": n (else the next), "datum":
// "YYYY-MM-DD", "temeljnica", "opis", "tip", and the amounts by their keys}.
ReadFile ReadKpiEntry(zodra::Database& db, const QByteArray& json) {
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    auto entry = std::make_shared<b::KpiEntry>();
    entry->number = o.value(QStringLiteral("redni_broj")).toInt(0);
    entry->date = QDate::fromString(o.value(QStringLiteral("datum")).toString(), Qt::ISODate);
    if (!entry->date.isValid()) {
        throw zodra::UserError(
            QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    }
    entry->voucher = o.value(QStringLiteral("temeljnica")).toString();
    entry->description = o.value(QStringLiteral("opis")).toString();
    if (o.contains(QStringLiteral("tip"))) {
        entry->type = o.value(QStringLiteral("tip")).toInt();
    }
    for (int i = 0; i < b::kKpiAmountCount; ++i) {
        entry->amounts[static_cast<std::size_t>(i)] = Amount(o, kAmountKeys[i]);
    }
    ReadFile file;
    file.warehouse = o.value(QStringLiteral("skladiste"))
                         .toInt(db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM "
                                                         "\"SKLADISTA\""))
                                    .toInt());
    file.post = [entry](zodra::Session& session, CommandLinePrompter&) {
        int number = entry->number;
        if (number > 0) {
            b::InsertKpiEntry(session.Db(), session.businessYear, *entry);
        } else {
            number = b::AppendKpiEntry(session.Db(), session.businessYear, *entry);
        }
        return QStringLiteral("Stavka knjige primitaka i izdataka je upisana pod brojem ") +
               QString::number(number) + QLatin1Char('.');
    };
    return file;
}

void DeleteKpiEntry(zodra::Session& session, CommandLinePrompter& prompter,
                    const DocumentArgs& args) {
    if (!b::KpiEntryExists(session.Db(), session.businessYear, args.number)) {
        throw zodra::UserError(QStringLiteral("Ne postoji stavka knjige primitaka i izdataka "
                                              "pod rednim brojem ") +
                               QString::number(args.number) + QLatin1Char('.'));
    }
    if (!prompter.AskYesNo(b::KpiDeleteQuestion(), b::KpiEntryCaption(), false)) {
        throw zodra::UserError(QStringLiteral("Stavka nije obrisana."));
    }
    b::DeleteKpiEntry(session.Db(), session.businessYear, args.number);
    Out(QStringLiteral("Stavka %1 knjige primitaka i izdataka je obrisana.").arg(args.number));
}

}  // namespace

std::vector<DocumentDoors> KpiDoors() {
    return {{QStringLiteral("kpi"), ReadKpiEntry, nullptr, DeleteKpiEntry, nullptr}};
}

int Kpi(const QStringList& args) {
    BookArgs parsed;
    if (!ParseBookArgs(args, kKpiUsage, parsed)) {
        return kUsage;
    }
    CommandLinePrompter prompter(false);
    const auto range = zodra::reports::AcceptRange(parsed.input, prompter);
    if (!range) {
        return kRefused;
    }
    const int warehouse = parsed.warehouse > 0 ? parsed.warehouse : AnyWarehouse(args.at(0));
    return InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        if (parsed.rebuild) {
            Out(QStringLiteral("Promet u gotovini je obnovljen za dana: ") +
                QString::number(b::RebuildAllDailyCashSales(session.Db(), session.businessYear)));
        }
        const zodra::reports::ReportRequest request = parsed.byType
                                                          ? b::KpiByTypeReport(session, *range)
                                                          : b::PrepareKpiReport(session, *range);
        Written(zodra::reports::ReportEngine(session.Db()).ToPdf(request, parsed.pdf), parsed.pdf);
    });
}

int Kp(const QStringList& args) {
    BookArgs parsed;
    if (!ParseBookArgs(args, kKpUsage, parsed)) {
        return kUsage;
    }
    if (parsed.warehouse <= 0) {
        Err(QString::fromUtf8(kKpUsage));
        return kUsage;
    }
    if (!parsed.print.isEmpty() && parsed.print != QLatin1String("kp1") &&
        parsed.print != QLatin1String("kp") && parsed.print != QLatin1String("kp_sum")) {
        Err(QString::fromUtf8(kKpUsage));
        return kUsage;
    }
    CommandLinePrompter prompter(false);
    const auto range = zodra::reports::AcceptRange(parsed.input, prompter);
    if (!range) {
        return kRefused;
    }
    return InSession(args.at(0), parsed.warehouse, [&](zodra::Session& session) {
        zodra::reports::ReportRequest request;
        if (parsed.print == QLatin1String("kp")) {
            request = b::InventorySummaryReport(session, *range, false);
        } else if (parsed.print == QLatin1String("kp_sum")) {
            request = b::InventorySummaryReport(session, *range, true);
        } else {
            request = b::PrepareInventoryBook(session, *range);
        }
        Written(zodra::reports::ReportEngine(session.Db()).ToPdf(request, parsed.pdf), parsed.pdf);
    });
}

}  // namespace zodractl
