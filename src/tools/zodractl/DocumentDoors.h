#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>
#include <vector>

#include "sales/InvoicePrint.h"
#include "tools/zodractl/Terminal.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodractl {

// What cancel and delete are given: the document, its warehouse, the date of a cancellation and
// whether further questions are answered Yes.
struct DocumentArgs {
    int number = 0;
    int warehouse = 0;
    int book = 1;  // the IRA book of an invoice (--knjiga)
    QDate date = QDate::currentDate();
    bool yes = false;
    QString pdf;  // print: the output file
    zodra::sales::InvoicePrintKind printKind = zodra::sales::InvoicePrintKind::Invoice;  // --ispis
    bool withoutDiscount = false;  // --bez-rabata
    bool quantitiesOnly = false;   // --kolicine: the printout of quantities only
    bool purchaseValues = false;   // --nabavne: the delivery note with purchase values
};

// A document file read against the company: the warehouse it is booked in, and how it is posted
// in a session started there. Posting returns the message that reports it; printing (null where
// the kind has no printout yet) writes it to a PDF file.
struct ReadFile {
    int warehouse = 0;
    std::function<QString(zodra::Session&, CommandLinePrompter&)> post;
    std::function<void(zodra::Session&, const QString&)> print;
};

// The kinds of document the doors know, each with its word on the command line (and as a
// file's "vrsta") and what each door does with it; a door a kind does not have is left empty.
// A new kind is one more row.
struct DocumentDoors {
    QString word;
    std::function<ReadFile(zodra::Database&, const QByteArray&)> read;
    std::function<void(zodra::Session&, CommandLinePrompter&, const DocumentArgs&)> cancel;
    std::function<void(zodra::Session&, CommandLinePrompter&, const DocumentArgs&)> remove;
    std::function<void(zodra::Session&, const DocumentArgs&)> print;
    bool printsQuantities = false;       // print takes --kolicine
    bool printsWithoutDiscount = false;  // print takes --bez-rabata
    bool printsPurchaseValues = false;   // print takes --nabavne
};

// The transfer ("meduskladisnica") and the five simple stock documents ("izdatnica",
// "povratnica", "rashod", "odjava", "povratnica-dobavljacu"), each printed to PDF as its windows
// print it (the transfer, the issue note and the return note also with quantities only).
std::vector<DocumentDoors> StockDocumentDoors();

// The work order ("radni-nalog") and the finishing work order ("radni-nalog-dorada"): posted
// from a file, deleted and printed by number; the bill of materials ("sastavnica", by its code)
// is only printed.
std::vector<DocumentDoors> ProductionDoors();

// A retail register sale ("maloprodaja"): post; cancel and delete take the detail invoices of
// the summing mode (an invoice in the invoice book is cancelled and deleted as "racun" in book 1).
std::vector<DocumentDoors> RetailDoors();

// The offer ("ponuda"), pro-forma ("predracun") and delivery note ("otpremnica"): post from a
// file in the invoice's format (and print it with --pdf), delete and print by number (the offer
// also without discount columns, the delivery note also with purchase values) (OutgoingDoors.cpp).
std::vector<DocumentDoors> OutgoingDocumentDoors();

// The input invoice ("ura"): posted from a file (docs/ura-json.md), deleted by its serial
// number in the book given with --knjiga (UraDoors.cpp).
DocumentDoors InputInvoiceDoors();
// An entry of the book of receipts and expenditures ("kpi"): posted from a file, deleted by its
// number (KpiCommand.cpp).
std::vector<DocumentDoors> KpiDoors();
// Collections and payments deleted by their code: "naplata" (a collection, NAPLATA), "uplata" (a
// customer payment with its collections), "placanje" and "uplata-ura" for input invoices
// (PaymentCommand.cpp).
std::vector<DocumentDoors> PaymentDoors();

}  // namespace zodractl
