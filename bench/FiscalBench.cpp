// Fiscalization at the register, measured in one run.
//
// 1. F12 of a 3-line sale with its receipt fiscalized against the local stand-in service (the
//    protective code, the signed request, the answer and the JIR stored) against the same F12
//    without fiscalization: at most 50 ms added.
// 2. The same F12 while the service takes the request and never answers (timeout 500 ms),
//    against the F12 the service answers: the silence delays the sale by no more than the
//    timeout.
#include <QDate>
#include <QSettings>
#include <cstdio>
#include <map>
#include <memory>

#include "BenchSupport.h"
#include "TradeCompany.h"
#include "app/SessionStart.h"
#include "data/Database.h"
#include "fiscal/FiscalKit.h"
#include "fiscal/FiscalService.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/FiscalStandIn.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"

using namespace zodra;

namespace {

constexpr int kArticles = 500;
constexpr int kSilentTimeoutMs = 500;
const QDate kDate(2026, 3, 10);

QString Company() {
    static QString path;
    if (path.isEmpty()) {
        path = bench::ScratchFolder() + QStringLiteral("/fiskal.mdb");
        bench::MakeTradeCompany(path, {kArticles, true, 0});
    }
    return path;
}

test::TestCertificate& Files() {
    static test::TestCertificate files(test::kCompanyOib);
    return files;
}

test::FiscalStandIn& StandIn() {
    static test::FiscalStandIn standIn(Files().pem, test::kCompanyOib, test::FiscalSchemaPath());
    return standIn;
}

// A workstation of the shop, fiscalizing against the stand-in with `timeoutMs` when asked.
std::unique_ptr<bench::Workstation> Till(bool fiscalize, int timeoutMs = 2000) {
    auto w = bench::StartWorkstation(Company());
    Database& db = w->session.Db();
    db.Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ?"), {test::kCompanyOib});
    fiscal::SetOperatorOib(db, w->session.userName, test::kCashierOib);
    const QString ini = bench::ScratchFolder() + QStringLiteral("/till.ini");
    QSettings workstation(ini, QSettings::IniFormat);
    fiscal::FiscalSettings settings;
    settings.enabled = fiscalize;
    settings.premises = QStringLiteral("PP1");
    settings.device = QStringLiteral("1");
    settings.certificatePath = Files().p12;
    settings.certificatePassword = Files().password;
    settings.endpoint = StandIn().Url();
    settings.timeoutMs = timeoutMs;
    fiscal::WriteFiscalSettings(db, workstation, settings);
    fiscal::InstallFiscalHooks(w->session, ini);
    return w;
}

void Sell(benchmark::State& state, bench::Workstation& w,
          test::FiscalStandIn::Mode mode = test::FiscalStandIn::Mode::Answer) {
    StandIn().SetMode(mode);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        retail::TillSale sale = retail::OpenTillSale(w.session, kDate);
        for (int k = 0; k < 3; ++k) {
            retail::ScanBarcode(
                w.session, sale,
                QStringLiteral("B") + QString::number((++i * 7919) % kArticles + 1));
        }
        state.ResumeTiming();
        const auto posted = retail::PostRetailSale(w.session, sale, 0);
        if (posted) {
            retail::RetailSaleFinished(w.session, sale, *posted);
        }
        state.PauseTiming();
        if (!posted) {
            state.SkipWithError("the sale was not posted");
        }
        retail::CloseTillSale(w.session, sale);
        state.ResumeTiming();
    }
    StandIn().SetMode(test::FiscalStandIn::Mode::Answer);
    sessionstart::End(w.session);
}

void BM_F12_Plain(benchmark::State& state) {
    Sell(state, *Till(false));
}

void BM_F12_Fiscalized(benchmark::State& state) {
    auto w = Till(true);
    const int before = fiscal::UnconfirmedCount(w->session.Db());
    Sell(state, *w);
    if (fiscal::UnconfirmedCount(w->session.Db()) != before) {
        state.SkipWithError("a receipt was not confirmed");
    }
}

void BM_F12_SilentService(benchmark::State& state) {
    Sell(state, *Till(true, kSilentTimeoutMs), test::FiscalStandIn::Mode::Silent);
}

}  // namespace

BENCHMARK(BM_F12_Plain)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_F12_Fiscalized)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_F12_SilentService)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(1);

int main(int argc, char** argv) {
    return bench::RunAndReport(
        argc, argv, {},
        {{"F12 with fiscalization against the stand-in, added", "BM_F12_Fiscalized", "BM_F12_Plain",
          50.0},
         {"F12 with a silent service (timeout 500 ms) vs an answering one", "BM_F12_SilentService",
          "BM_F12_Fiscalized", double(kSilentTimeoutMs)}});
}
