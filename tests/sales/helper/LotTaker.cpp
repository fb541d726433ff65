// A second workstation in a process of its own, for the tests of lots several workstations
// share: it opens the company, starts its session in warehouse 1 and draws up an invoice of the
// customer (book 1, terms 2, FIFO), prints "ready", and only when a line arrives on its input
// asks for QUANTITY pieces of ARTICLE from lot LOT. It then prints "accepted" or the refusal's
// text and exits 0, its session left open; a database error is printed after "database: " with exit
// code 2.
//
//     zodra_lot_taker COMPANY CUSTOMER ARTICLE LOT QUANTITY

#include <QCoreApplication>
#include <QDate>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "sales/InvoiceLines.h"

using namespace zodra;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 6) {
        std::cerr << "zodra_lot_taker COMPANY CUSTOMER ARTICLE LOT QUANTITY" << std::endl;
        return 2;
    }
    const QStringList args = app.arguments();
    try {
        Database::OpenResult opened = Database::Open(args.at(1), QString());
        if (!opened.db) {
            std::cout << "database: " << opened.detail.toStdString() << std::endl;
            return 2;
        }
        Session session;
        session.databasePath = args.at(1);
        session.Attach(std::move(opened.db));
        session.userName = QStringLiteral("admin");
        ScriptedPrompter quiet;
        sessionstart::Start(session, 1, quiet, QDate(2026, 3, 2));
        session.stockMethod = StockMethod::Fifo;
        session.company.stockMethod = StockMethod::Fifo;
        sales::InvoiceDraft draft = sales::OpenInvoice(session, QDate(2026, 3, 10));
        draft.book = 1;
        draft.salesTerms = 2;
        draft.customer = args.at(2).toInt();
        std::cout << "ready" << std::endl;
        std::string go;
        std::getline(std::cin, go);
        try {
            sales::AddArticleLine(session, quiet, draft,
                                  {args.at(3).toInt(), args.at(4).toInt(), args.at(5).toDouble(),
                                   std::nullopt, std::nullopt, std::nullopt, QString()});
            std::cout << "accepted" << std::endl;
        } catch (const UserError& e) {
            std::cout << e.message().toStdString() << std::endl;
        }
        // The session is left as a workstation still drawing up would leave it, its reservation
        // held, for the test to read.
        return 0;
    } catch (const DbError& e) {
        std::cout << "database: " << e.what() << std::endl;
    } catch (const UserError& e) {
        std::cout << "database: " << e.message().toStdString() << std::endl;
    }
    return 2;
}
