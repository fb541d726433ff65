#include "stock/ui/StockCommands.h"

#include "stock/ui/TradeBookWindow.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::stock::ui {

namespace {

void OpenBook(zodra::ui::WindowHost& host, tradebook::Book book) {
    if (host.FindWindow(TradeBookWindow::CommandName(book))) {
        return;  // already open: brought to the front
    }
    auto* window = new TradeBookWindow(host, book);
    host.ShowWindow(window, TradeBookWindow::Caption(book));
}

}  // namespace

void RegisterStockCommands(zodra::ui::CommandRegistry& registry) {
    for (tradebook::Book book : {tradebook::Book::Wholesale, tradebook::Book::Retail}) {
        registry.Register(TradeBookWindow::CommandName(book),
                          [book](zodra::ui::WindowHost& host) { OpenBook(host, book); });
    }
}

}  // namespace zodra::stock::ui
