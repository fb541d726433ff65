#include "payments/ui/PaymentCommands.h"

#include "data/CommandCatalogue.h"
#include "data/Session.h"
#include "payments/ui/CollectionWindow.h"
#include "payments/ui/PartnerCardWindow.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::payments::ui {

namespace {

void OpenCard(zodra::ui::WindowHost& host, const QString& name, bool supplier, bool warehouse) {
    if (host.FindWindow(name)) {
        return;
    }
    const std::optional<int> only =
        warehouse ? std::optional<int>(host.CurrentSession().activeWarehouse.code) : std::nullopt;
    host.ShowWindow(new PartnerCardWindow(host, supplier, only, name),
                    zodra::commands::WindowCaption(name));
}

}  // namespace

void RegisterPaymentCommands(zodra::ui::CommandRegistry& registry) {
    for (const bool supplier : {false, true}) {
        registry.Register(CollectionWindow::ObjectName(supplier),
                          [supplier](zodra::ui::WindowHost& host) {
                              if (host.FindWindow(CollectionWindow::ObjectName(supplier))) {
                                  return;
                              }
                              host.ShowWindow(new CollectionWindow(host, supplier),
                                              CollectionWindow::Caption(supplier));
                          });
    }
    registry.Register(QStringLiteral("Izlazni_racuni_kartice"), [](zodra::ui::WindowHost& host) {
        OpenCard(host, QStringLiteral("Izlazni_racuni_kartice"), false, false);
    });
    registry.Register(QStringLiteral("Izlazni_racuni_kartice_za_izabrano_skladiste"),
                      [](zodra::ui::WindowHost& host) {
                          OpenCard(host,
                                   QStringLiteral("Izlazni_racuni_kartice_za_izabrano_skladiste"),
                                   false, true);
                      });
    registry.Register(QStringLiteral("Ulazni_racuni_kartice"), [](zodra::ui::WindowHost& host) {
        OpenCard(host, QStringLiteral("Ulazni_racuni_kartice"), true, false);
    });
}

}  // namespace zodra::payments::ui
