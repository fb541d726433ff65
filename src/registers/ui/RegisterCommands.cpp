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
#include "registers/ui/CoreRegisterWindows.h"
#include "registers/ui/CurrencyRatePanel.h"
#include "registers/ui/GridWindow.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

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
    const RegisterDescription& core = catalogue::Currencies();
    const QString command = QStringLiteral("Sifarnici_valute");
    std::shared_ptr<const zodra::ui::RegisterDescription> window = WindowDescription(core, command);
    const CommandRegistry* r = &registry;
    registry.Register(command, [window, r](WindowHost& host) {
        auto* list = zodra::ui::ShowRegisterList(host, window, r);
        if (list->findChild<CurrencyRatePanel*>()) {
            return;
        }
        auto* panel = new CurrencyRatePanel(host, list);
        if (auto* layout = qobject_cast<QBoxLayout*>(list->layout())) {
            layout->addWidget(panel, 2);
        }
        QObject::connect(list->List(), &QListWidget::currentRowChanged, panel,
                         [list, panel] { panel->SetCurrency(list->CurrentCode()); });
        panel->SetCurrency(list->CurrentCode());
    });
    registry.RegisterEntry(core.table, [window, r](WindowHost& host, QWidget* parent) {
        return zodra::ui::OpenRegisterEntry(host, window, r, parent);
    });
}

}  // namespace

void RegisterRegisterCommands(CommandRegistry& registry) {
    namespace c = catalogue;
    Bind(registry, c::Partners(), QStringLiteral("Sifarnici_Partneri"));
    Bind(registry, c::Services(), QStringLiteral("Sifarnici_usluge"));
    Bind(registry, c::Packaging(), QStringLiteral("Sifarnici_ambalaza"));
    Bind(registry, c::ArticleGroups(), QStringLiteral("Sifarnici_grupe_artikala"));
    Bind(registry, c::TaxGroups(), QStringLiteral("Sifarnici_grupe_poreza"));
    Bind(registry, c::SalesTerms(), QStringLiteral("Sifarnici_uvjeti_prodaje"));
    Bind(registry, c::DeliveryMethods(), QStringLiteral("Sifarnici_nacini_isporuke"));
    Bind(registry, c::OutputInvoiceBooks(), QStringLiteral("Sifarnici_knjige_ira"));
    Bind(registry, c::InputInvoiceBooks(), QStringLiteral("Sifarnici_knjige_ura"));
    Bind(registry, c::CardTypes(), QStringLiteral("Sifarnici_Tipovi_kartica"));
    Bind(registry, c::Employees(), QStringLiteral("Sifarnici_Djelatnici"));
    BindCurrencies(registry);

    // Articles: the entry window "Upis novog artikla" from the register's description, the
    // list window "Artikli" of its own (group filter, search, information block).
    const std::shared_ptr<const zodra::ui::RegisterDescription> articleEntry =
        WindowDescription(c::Articles(), QStringLiteral("Sifarnici_artikli"));
    const CommandRegistry* r = &registry;
    registry.RegisterEntry(c::Articles().table,
                           [articleEntry, r](WindowHost& host, QWidget* parent) {
                               return zodra::ui::OpenRegisterEntry(host, articleEntry, r, parent);
                           });
    registry.Register(QStringLiteral("Sifarnici_artikli"), [r](WindowHost& host) {
        OpenOnce(host, QStringLiteral("Sifarnici_artikli"),
                 [&] { return new ArticleWindow(host, r); });
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
