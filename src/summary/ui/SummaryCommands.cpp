#include "summary/ui/SummaryCommands.h"

#include <QDate>

#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "summary/SummaryReports.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::summary::ui {

namespace {

void PrintSummary(zodra::ui::WindowHost& host, const SummaryReportInfo& info) {
    host.SetStatusText(info.statusText);
    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    SummaryChoice choice;
    switch (info.limits) {
        case Limits::NumbersAndDates: {
            NumberBounds bounds;
            if (!zodra::ui::Guarded(prompter, [&] {
                    bounds =
                        DocumentNumberBounds(session.Db(), info.documentKey,
                                             session.activeWarehouse.code, session.businessYear);
                })) {
                return;
            }
            choice.range =
                reports::ui::RangeDialog::Ask(prompter, host.DialogParent(), session.businessYear,
                                              true, bounds.first, bounds.last);
            if (!choice.range) {
                return;
            }
            break;
        }
        case Limits::Dates:
            choice.range =
                reports::ui::RangeDialog::Ask(prompter, host.DialogParent(), session.businessYear);
            if (!choice.range) {
                return;
            }
            break;
        case Limits::NameSearch:
        case Limits::CodeSearch: {
            const auto text =
                prompter.AskText(SearchPrompt(info.limits), SearchCaption(), QStringLiteral("*"));
            if (!text) {
                return;
            }
            choice.searchText = *text;
            break;
        }
        case Limits::Day: {
            const QDate today = QDate::currentDate();
            const auto text = prompter.AskText(DayPrompt(), SearchCaption(),
                                               reports::DefaultRangeTo(session.businessYear, today)
                                                   .toString(QStringLiteral("dd.MM.yyyy")));
            if (!text) {
                return;
            }
            choice.range = DayRange(*text, today, prompter);
            break;
        }
        case Limits::ArticleAndDates: {
            const auto code = prompter.AskText(ArticlePrompt(), info.title, QString());
            if (!code) {
                return;
            }
            if (!zodra::ui::Guarded(prompter,
                                    [&] { choice.article = ArticleByCode(session.Db(), *code); })) {
                return;
            }
            choice.range =
                reports::ui::RangeDialog::Ask(prompter, host.DialogParent(), session.businessYear);
            if (!choice.range) {
                return;
            }
            break;
        }
        case Limits::None:
            break;
    }
    reports::ReportRequest request;
    if (zodra::ui::Guarded(prompter,
                           [&] { request = SummaryReportRequest(session, info, choice); })) {
        reports::ui::ShowReport(host, request);
    }
}

}  // namespace

void RegisterSummaryCommands(zodra::ui::CommandRegistry& registry) {
    for (const SummaryReportInfo& info : SummaryReports()) {
        const SummaryReportInfo* member = &info;
        registry.Register(info.command,
                          [member](zodra::ui::WindowHost& host) { PrintSummary(host, *member); });
    }
}

}  // namespace zodra::summary::ui
