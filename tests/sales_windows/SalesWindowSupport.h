#pragma once

#include <QPushButton>

#include "registers/ui/ArticlePicker.h"
#include "sales/ui/ArticleLineDialog.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceWindows.h"
#include "support/WindowTest.h"
#include "ui/DocumentWindow.h"
#include "ui/NumberBox.h"

namespace zodra::test {

// The invoice window's commands on a demo company in a wide area, with the consistency check
// after every posting where `debugMode` is set.
struct SalesHost : DemoHost {
    explicit SalesHost(bool debugMode)
        : DemoHost({.commands = [](ui::CommandRegistry& r) { sales::ui::RegisterSalesCommands(r); },
                    .debugMode = debugMode,
                    .wide = true}) {}
};

// The invoice header's book, sales terms and customer, chosen as the user does.
inline void ChooseHeader(ui::DocumentWindow* w, int book, int terms, const QVariant& customer) {
    using sales::ui::InvoiceController;
    Choose(w, InvoiceController::IraField(), book);
    Choose(w, InvoiceController::TermsField(), terms);
    Choose(w, InvoiceController::CustomerField(), customer);
}

// An article line through "Artikli": the article chosen, the quantity typed, "Prihvati".
inline void AddArticleLine(ui::DocumentWindow* w, int article, const QString& quantity) {
    using sales::ui::ArticleLineDialog;
    WhenShown<ArticleLineDialog>([article, quantity](ArticleLineDialog* d) {
        QVERIFY(d->Picker()->SetCode(article));
        d->Quantity()->setFocus();
        TypeInto(d->Quantity(), quantity);
        QVERIFY(d->AcceptLine());
    });
    Button(w, QStringLiteral("DodajStavku"))->click();
    Settle();
}

}  // namespace zodra::test
