#pragma once

#include "ui/PostedDocumentController.h"

namespace zodra::purchasing::ui {

// One posted receipt opened from "Izbor primke": "Primka br." n, its data and sums above its
// lines, "Ispis" of its calculation.
class PostedReceiptController : public zodra::ui::PostedDocumentController {
public:
    explicit PostedReceiptController(int number) : m_number(number) {}

    QString Caption() const override;
    QString Summary(Session& session) override;
    TableData Lines(Session& session) override;
    bool CanPrint() const override { return true; }
    void Print(zodra::ui::WindowHost& host) override;

private:
    int m_number;
};

}  // namespace zodra::purchasing::ui
