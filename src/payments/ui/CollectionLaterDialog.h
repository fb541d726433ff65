#pragma once

#include <QDialog>

class QComboBox;

namespace zodra::ui {
class DataGrid;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Naknadno zatvaranje izlaznih računa": a customer and a book chosen, one of his open invoices
// (with "Ukupno:", "Naplaćeno:", "Dugovanje:") and one of his payments (with "Iznos:" and
// "Zatvoreno:") picked, an amount typed. "Prihvati" closes the invoice with that part of the
// payment, shows "Plaćanje je upisano !", sets the amount back to 0 and reads both lists again;
// the dialog stays open for the next closing.
class CollectionLaterDialog : public QDialog {
    Q_OBJECT
public:
    CollectionLaterDialog(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    bool Accept();
    void Refill();

private:
    zodra::ui::WindowHost& m_host;
    QComboBox* m_customer = nullptr;
    QComboBox* m_book = nullptr;
    zodra::ui::DataGrid* m_invoices = nullptr;
    zodra::ui::DataGrid* m_payments = nullptr;
    zodra::ui::NumberBox* m_amount = nullptr;
};

}  // namespace zodra::payments::ui
