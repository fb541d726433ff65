#pragma once

#include <QDialog>
#include <QWidget>
#include <optional>
#include <vector>

#include "sales/DeliveryNoteBilling.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace zodra::ui {
class DateBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::sales::ui {

// "Izbor otpremnica za izradu računa": the open delivery notes given, each ticked or not (Space
// ticks the current one); "Prihvati" keeps the ticked ones.
class DeliveryNotePicker : public QDialog {
    Q_OBJECT
public:
    DeliveryNotePicker(const std::vector<OpenDeliveryNote>& notes, const std::vector<int>& ticked,
                       QWidget* parent = nullptr);

    QListWidget* Notes() const { return m_list; }
    // The numbers of the ticked notes, in list order.
    std::vector<int> Ticked() const;

private:
    QListWidget* m_list;
};

// "Izrada računa na osnovu otpremnica": the open delivery notes of the warehouse and year, of the
// customer chosen (none: every customer, after the question) dated "datum od" to "datum do", are
// billed one invoice per customer. "Izbor otp." picks the notes by hand; the pick is held until
// the customer or a date changes or the notes are billed. After billing the new invoices may be
// printed, each through the invoice's own printout.
class DeliveryBillingWindow : public QWidget {
    Q_OBJECT
public:
    explicit DeliveryBillingWindow(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    static QString ObjectName();  // "frmRacuniIzOtpremnica"

    QComboBox* Customer() const { return m_customer; }
    zodra::ui::DateBox* From() const { return m_from; }
    zodra::ui::DateBox* To() const { return m_to; }
    QLabel* Chosen() const { return m_chosenText; }
    const std::optional<std::vector<int>>& Pick() const { return m_pick; }

    // "Izbor otp.": the picker over the open notes in the limits.
    void PickNotes();
    // "Izradi račune": checks the limits and bills; the invoices made (empty when nothing was).
    std::vector<BilledInvoice> Bill();

private:
    std::optional<BillingRange> Range();
    std::optional<int> CustomerCode() const;
    void ForgetPick();

    zodra::ui::WindowHost& m_host;
    QComboBox* m_customer;
    zodra::ui::DateBox* m_from;
    zodra::ui::DateBox* m_to;
    QLabel* m_chosenText;
    std::optional<std::vector<int>> m_pick;
};

}  // namespace zodra::sales::ui
