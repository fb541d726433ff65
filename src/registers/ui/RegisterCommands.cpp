#include "registers/ui/RegisterCommands.h"

#include <QBoxLayout>
#include <QListWidget>

#include "data/CommandCatalogue.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/ArticleTableModel.h"
#include "registers/Catalogue.h"
#include "registers/RegisterGridModel.h"
#include "registers/ui/ArticleWindow.h"
#include "registers/ui/BillOfMaterialsWindow.h"
#include "registers/ui/CurrencyRatePanel.h"
#include "registers/ui/GridWindow.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::registers::ui {

namespace {

using zodra::ui::CommandRegistry;
using zodra::ui::WindowHost;

// A window of its own kind, opened once (an open one is brought to the front).
template <typename Make>
void OpenOnce(WindowHost& host, const QString& name, Make make) {
    if (host.FindWindow(name)) {
        return;
    }
    QWidget* window = make();
    window->setObjectName(name);
    host.ShowWindow(window, window->windowTitle());
}

// "Valute": the currency register with the grid of the shown currency's rates beside it.
void BindCurrencies(CommandRegistry& registry) {
    const RegisterDescription& currencies = catalogue::Currencies();
    const CommandRegistry* r = &registry;
    registry.Register(currencies.command, [&currencies, r](WindowHost& host) {
        auto* list = ShowRegisterList(host, currencies, r);
        if (list->findChild<CurrencyRatePanel*>()) {
            return;
        }
        const int listWidth = list->width();
        auto* panel = new CurrencyRatePanel(host, list);
        if (auto* layout = qobject_cast<QBoxLayout*>(list->layout())) {
            layout->addWidget(panel, 2);
        }
        QObject::connect(list->List(), &QListWidget::currentRowChanged, panel,
                         [list, panel] { panel->SetCurrency(list->CurrentCode()); });
        panel->SetCurrency(list->CurrentCode());
        // The rates beside the register: the window widens by the panel instead of squeezing
        // the list, the fields and the rate buttons into the room the register alone needed.
        zodra::ui::FitWindowFrame(list, QSize(listWidth + panel->sizeHint().width(), 0));
    });
    BindEntry(registry, currencies);
}

}  // namespace

void RegisterRegisterCommands(CommandRegistry& registry) {
    namespace c = catalogue;
    for (const RegisterDescription* d :
         {&c::Partners(), &c::Services(), &c::Packaging(), &c::ArticleGroups(), &c::TaxGroups(),
          &c::SalesTerms(), &c::DeliveryMethods(), &c::OutputInvoiceBooks(),
          &c::InputInvoiceBooks(), &c::CardTypes(), &c::Employees()}) {
        Bind(registry, *d);
    }
    BindCurrencies(registry);

    // Articles: the entry window "Upis novog artikla" from the register's description, the
    // list window "Artikli" of its own (group filter, search, information block).
    BindEntry(registry, c::Articles());
    const CommandRegistry* r = &registry;
    registry.Register(c::Articles().command, [r](WindowHost& host) {
        OpenOnce(host, c::Articles().command, [&] { return new ArticleWindow(host, r); });
    });
    registry.Register(QStringLiteral("Artikli_tablica"), [](WindowHost& host) {
        OpenOnce(host, QStringLiteral("Artikli_tablica"), [&] {
            Session& session = host.CurrentSession();
            auto model = std::make_unique<ArticleTableModel>(
                session.Db(), session.options.articleDisplayExpression, host.UserPrompter());
            ArticleTableModel* m = model.get();
            return new GridWindow(QStringLiteral("Artikli_tablica"),
                                  QStringLiteral("Artikli tablično"), std::move(model),
                                  [m](const QString& typed) { return m->RowOfSearch(typed); });
        });
    });
    registry.Register(QStringLiteral("Partneri_tablica"), [](WindowHost& host) {
        OpenOnce(host, QStringLiteral("Partneri_tablica"), [&] {
            auto model = std::make_unique<RegisterGridModel>(host.CurrentSession().Db(),
                                                             c::Partners(), host.UserPrompter());
            RegisterGridModel* m = model.get();
            return new GridWindow(QStringLiteral("Partneri_tablica"),
                                  QStringLiteral("Partneri tablično"), std::move(model),
                                  [m](const QString& typed) { return m->RowOfSearch(typed); });
        });
    });
    registry.Register(QStringLiteral("Sifarnici_sastavnice"), [](WindowHost& host) {
        OpenOnce(host, QStringLiteral("Sifarnici_sastavnice"),
                 [&] { return new BillOfMaterialsWindow(host); });
    });
}

}  // namespace zodra::registers::ui
