#include <QDate>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"
#include "transfer/DataTransfer.h"

namespace zodractl {

namespace {

const char* kTransferUsage =
    "upotreba: zodractl transfer IZVOR CILJ receipts|deliveries [--od DD.MM.GGGG]\n"
    "                            [--do DD.MM.GGGG] [--od-broja N] [--do-broja N] [--skladiste N]\n"
    "  IZVOR i CILJ poduzeća: primke (otpremnice kao izmjene cijena) se knjiže u CILJ;\n"
    "  CILJ.zip: zapisuje datoteku prijenosa; IZVOR.zip: knjiži datoteku prijenosa u CILJ\n"
    "  (docs/transfer.md)";

bool IsZip(const QString& path) {
    return path.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive);
}

QString Numbers(const std::vector<int>& numbers) {
    QStringList list;
    for (const int n : numbers) {
        list << QString::number(n);
    }
    return list.join(QStringLiteral(", "));
}

void Report(zodra::transfer::Kind kind, const zodra::transfer::Outcome& out) {
    Out(kind == zodra::transfer::Kind::Receipts
            ? QStringLiteral("Donos primki napravljen uspješno. Proknjižene primke: ") +
                  Numbers(out.numbers)
            : QStringLiteral("Donos otpremnica napravljen uspješno. Proknjižene izmjene cijena: ") +
                  Numbers(out.numbers));
    Out(QStringLiteral("novi: partnera %1, artikala %2, grupa artikala %3, grupa poreza %4, "
                       "ambalaže %5")
            .arg(out.partners)
            .arg(out.articles)
            .arg(out.articleGroups)
            .arg(out.taxGroups)
            .arg(out.packaging));
}

}  // namespace

int Transfer(const QStringList& args) {
    namespace t = zodra::transfer;
    const QString usage = QString::fromUtf8(kTransferUsage);
    QStringList positional;
    t::Selection selection;
    int warehouse = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            positional << a;
            continue;
        }
        if (i + 1 >= args.size()) {
            Err(usage);
            return kUsage;
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (a == QLatin1String("--od") || a == QLatin1String("--do")) {
            const std::optional<QDate> d =
                zodra::inputrules::ParseDate(value, QDate::currentDate());
            if (!d) {
                Err(QStringLiteral("Nije ispravno upisan datum: ") + value);
                return kUsage;
            }
            (a == QLatin1String("--od") ? selection.fromDate : selection.toDate) = *d;
        } else if (a == QLatin1String("--od-broja")) {
            selection.fromNumber = value.toInt(&ok);
            ok = ok && selection.fromNumber > 0;
        } else if (a == QLatin1String("--do-broja")) {
            selection.toNumber = value.toInt(&ok);
            ok = ok && selection.toNumber > 0;
        } else if (a == QLatin1String("--skladiste")) {
            warehouse = value.toInt(&ok);
            ok = ok && warehouse >= 0;
        } else {
            ok = false;
        }
        if (!ok) {
            Err(usage);
            return kUsage;
        }
    }
    const bool reading = positional.size() >= 2 && IsZip(positional.at(0));
    const QString kind = positional.size() >= 3
                             ? positional.at(2)
                             : (reading ? QStringLiteral("receipts") : QString());
    if (positional.size() < 2 || positional.size() > 3 ||
        (kind != QLatin1String("receipts") && kind != QLatin1String("deliveries"))) {
        Err(usage);
        return kUsage;
    }
    const t::Kind what =
        kind == QLatin1String("deliveries") ? t::Kind::Deliveries : t::Kind::Receipts;
    const QString& source = positional.at(0);
    const QString& target = positional.at(1);
    bool refused = false;
    auto refuse = [&](const QString& text) {
        Err(text);
        refused = true;
    };
    int code = kOk;
    if (reading) {
        // A transfer file into a company.
        code = InSession(target, warehouse, [&](zodra::Session& session) {
            t::Package package = t::ReadTransferFile(source, what);
            if (package.warehouse != session.activeWarehouse.name) {
                return refuse(t::MissingWarehouseMessage(session.activeWarehouse.name, what));
            }
            t::Select(package, what, selection);
            Report(what, t::Post(session, package, what));
        });
    } else if (IsZip(target)) {
        // A company's receipts or delivery notes into a transfer file.
        code = InSession(source, warehouse, [&](zodra::Session& session) {
            t::Package package;
            {
                zodra::Transaction snapshot(session.Db());
                package = t::Read(session.Db(), what, session.activeWarehouse.name,
                                  session.businessYear, selection);
            }
            t::WriteTransferFile(package, target);
            Out(t::WrittenMessage(what) + QStringLiteral(" (") +
                QString::number(what == t::Kind::Receipts ? package.receipts.size()
                                                          : package.deliveries.size()) +
                QStringLiteral(" u ") + target + QStringLiteral(")"));
        });
    } else {
        // Straight from one company into another.
        try {
            t::CheckNotSame(source, target);
        } catch (const zodra::UserError& e) {
            Err(e.message());
            return kRefused;
        }
        auto opened = OpenWithPassword(source);
        if (opened.status != zodra::Database::OpenStatus::Ok) {
            return ReportOpenFailure(opened);
        }
        code = InSession(target, warehouse, [&](zodra::Session& session) {
            Report(what, t::Carry(*opened.db, session, what, selection));
        });
    }
    return code == kOk && refused ? kRefused : code;
}

}  // namespace zodractl
