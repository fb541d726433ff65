#pragma once

#include "ui/DocumentListController.h"

namespace zodra::stockdocs::ui {

// "Izbor inventure": the counts of the warehouse and year with the selected one's values under
// the list; "Otvori" ("Inventura br." n), "Ispis" and "Izbriši" (the price guard
// before the question "Želite li izbrisati inventuru!", then the below-zero question when it
// applies). A count has no cancellation.
class StockCountListController : public zodra::ui::DocumentListController {
public:
    static QString CommandName();  // "Pregledi_inventure"

    QString Command() const override { return CommandName(); }
    QString Caption() const override;
    TableData Documents(Session& session) override;
    bool HasDetails() const override { return true; }
    QString Details(Session& session, const QVariant& key) override;
    std::unique_ptr<zodra::ui::PostedDocumentController> OpenDocument(const QVariant& key) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host, const QVariant& key) override;
    QString DeleteQuestion() const override;
    QString DeleteTitle() const override;
    void CheckBeforeDelete(zodra::ui::WindowHost& host, const QVariant& key) override;
    void Delete(zodra::ui::WindowHost& host, const QVariant& key) override;
};

class PostedStockCountController : public zodra::ui::PostedDocumentController {
public:
    explicit PostedStockCountController(int number) : m_number(number) {}

    QString Caption() const override;
    QString Summary(Session& session) override;
    TableData Lines(Session& session) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override;

private:
    int m_number;
};

}  // namespace zodra::stockdocs::ui
