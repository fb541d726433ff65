#include "tools/zodractl/CopyCommand.h"

#include <csignal>

#include "data/CompanyCopy.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/StockCheckCommand.h"
#include "tools/zodractl/Terminal.h"

namespace zodractl {

namespace {

volatile std::sig_atomic_t g_stop = 0;

void Stop(int) {
    g_stop = 1;
}

// Ctrl-C (or a polite kill) while the copy runs stops it at the next batch, so that the target
// is removed instead of left half-written.
class StopOnSignal {
public:
    StopOnSignal() {
        g_stop = 0;
        m_int = std::signal(SIGINT, Stop);
        m_term = std::signal(SIGTERM, Stop);
    }
    ~StopOnSignal() {
        std::signal(SIGINT, m_int);
        std::signal(SIGTERM, m_term);
    }
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

private:
    void (*m_int)(int);
    void (*m_term)(int);
};

// Below this many rows a copy takes a moment and says nothing until it is done.
constexpr qint64 kRowsWorthProgress = 20000;

}  // namespace

int CopyCompany(const QStringList& args) {
    if (args.size() != 2) {
        Err(QStringLiteral("upotreba: zodractl copy IZVOR ODREDIŠTE"));
        return kUsage;
    }
    const QString source = args.at(0);
    const QString target = args.at(1);
    namespace copy = zodra::companycopy;
    try {
        copy::CheckTarget(target);
        const int version = copy::SourceVersion(source);
        if (version != zodra::CompanySchema::kCurrentVersion) {
            Err(copy::VersionMessage(source, version));
            return version > zodra::CompanySchema::kCurrentVersion ? kTooNew : kRefused;
        }
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    }
    QString password;
    auto opened = OpenWithPassword(source, &password);
    if (opened.status != zodra::Database::OpenStatus::Ok) {
        return ReportOpenFailure(opened);
    }
    copy::Summary summary;
    try {
        StopOnSignal stopping;
        int shown = -1;
        summary = copy::Copy(*opened.db, target, password, [&](const copy::Progress& p) {
            if (p.total >= kRowsWorthProgress) {
                const int percent = static_cast<int>(p.done * 100 / p.total);
                if (percent / 10 != shown / 10) {
                    shown = percent;
                    Err(QStringLiteral("Kopiranje: %1 % (%2 od %3 redaka, tablica %4)")
                            .arg(percent)
                            .arg(p.done)
                            .arg(p.total)
                            .arg(p.table));
                }
            }
            return g_stop == 0;
        });
    } catch (const zodra::UserError& e) {
        Err(e.message());
        return kRefused;
    } catch (const zodra::DbError& e) {
        Err(QStringLiteral("Kopiranje nije uspjelo, odredište nije napravljeno: ") +
            e.driverText());
        return e.isDamage() ? kDamaged : kRefused;
    }
    opened.db.reset();

    qint64 invoices = 0;
    qint64 receipts = 0;
    for (const copy::TableCount& t : summary.tables) {
        if (t.table == QLatin1String("RACUNI")) {
            invoices = t.rows;
        } else if (t.table == QLatin1String("PRIMKE")) {
            receipts = t.rows;
        }
    }
    Out(QStringLiteral("Poduzeće %1 kopirano je u %2: %3 tablica, %4 redaka (računa %5, primki "
                       "%6), verzija sheme %7.")
            .arg(source, target)
            .arg(summary.tables.size())
            .arg(summary.rows)
            .arg(invoices)
            .arg(receipts)
            .arg(summary.schemaVersion));
    Out(QStringLiteral("Broj redaka svake tablice jednak je izvoru."));
    // The stock check opens the target with the source's password.
    qputenv("ZODRA_PASSWORD", password.toUtf8());
    if (StockCheck({target}) != kOk) {
        Err(QStringLiteral("Provjera zaliha na odredištu našla je razlike (gore); kopija je "
                           "zadržana. Provjerite i izvor: zodractl stockcheck ") +
            source);
        return kRefused;
    }
    return kOk;
}

}  // namespace zodractl
