#pragma once

#include <QDialog>

#include "retail/RetailPayment.h"

class QComboBox;
class QLineEdit;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::retail::ui {

// frmNaplata ("Naplata maloprodajnog računa"): how a posted retail invoice was paid. The cash
// box starts at `cashPreset`; "Prihvati" records the payment (RecordRetailPayment) and closes,
// a refusal or a No to the question keeps everything typed; "Odustani" (Esc) asks first and
// leaves the invoice posted without payment rows.
class PaymentDialog : public QDialog {
    Q_OBJECT
public:
    // `invoice` carries the invoice (key, date, customer, total, summing mode); its amounts are
    // ignored.
    PaymentDialog(zodra::ui::WindowHost& host, const RetailPaymentInput& invoice, double cashPreset,
                  QWidget* parent = nullptr);

    zodra::ui::NumberBox* CashBox() const { return m_cash; }
    zodra::ui::NumberBox* ChequesBox() const { return m_cheques; }
    zodra::ui::NumberBox* CardBox() const { return m_card; }
    QComboBox* CardTypeBox() const { return m_cardType; }
    zodra::ui::NumberBox* HandedOverBox() const { return m_handedOver; }
    QLineEdit* ChangeBox() const { return m_change; }
    // True once the payment rows are written.
    bool Paid() const { return m_paid; }

    // "Prihvati"
    void Accept();
    // "Odustani": true when the user left.
    bool Cancel();

    void reject() override;

private:
    void ShowChange();

    zodra::ui::WindowHost& m_host;
    RetailPaymentInput m_invoice;
    zodra::ui::NumberBox* m_cash;
    zodra::ui::NumberBox* m_cheques;
    zodra::ui::NumberBox* m_card;
    QComboBox* m_cardType;
    zodra::ui::NumberBox* m_handedOver;
    QLineEdit* m_change;
    bool m_paid = false;
    bool m_leaving = false;
};

QString CancelPaymentQuestion();  // "Želite li odustati od naplate računa ?"

}  // namespace zodra::retail::ui
