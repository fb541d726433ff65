#pragma once

#include <QWidget>
#include <optional>

#include "payments/CollectionBook.h"
#include "payments/PaymentBook.h"
#include "payments/ui/PaymentEntryDialog.h"

class QComboBox;
class QLabel;

namespace zodra::ui {
class DataGrid;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// "Naplata izlaznih računa" (and, for a supplier window, "Plaćanja ulaznih računa"): the book
// chosen above, its invoices in the upper grid (sortable by any column), the collections of the
// selected one below with "Naplaćeno:" / "Dugovanje:". "Upis" records a collection of the
// selected invoice; Delete (or "Brisanje") on a collection asks "Želite li izbrisati plaćanje ?"
// (No is the default). The other buttons open the partner payment windows.
class CollectionWindow : public QWidget {
    Q_OBJECT
public:
    CollectionWindow(zodra::ui::WindowHost& host, bool supplier, QWidget* parent = nullptr);

    static QString ObjectName(bool supplier) {
        return supplier ? QStringLiteral("Evidencija_pregled_UFA")
                        : QStringLiteral("Evidencija_pregled_IFA");
    }
    static QString Caption(bool supplier) {
        return supplier ? QStringLiteral("Plaćanja ulaznih računa")
                        : QStringLiteral("Naplata izlaznih računa");
    }

    void Refresh();
    void Add(bool ownUse = false);  // "Upis"
    void DeleteSelected();          // "Brisanje"
    void OpenEntry(PaymentEntryKind kind);

    zodra::ui::DataGrid* Invoices() const { return m_invoices; }
    zodra::ui::DataGrid* Collections() const { return m_collections; }
    QLabel* CollectedLabel() const { return m_collected; }
    QLabel* OwedLabel() const { return m_owed; }

private:
    void ShowCollections();
    std::optional<InvoiceKey> SelectedInvoice() const;
    std::optional<InputInvoiceKey> SelectedInput() const;

    zodra::ui::WindowHost& m_host;
    bool m_supplier;
    QComboBox* m_book = nullptr;
    zodra::ui::DataGrid* m_invoices = nullptr;
    zodra::ui::DataGrid* m_collections = nullptr;
    QLabel* m_collected = nullptr;
    QLabel* m_owed = nullptr;
};

}  // namespace zodra::payments::ui
