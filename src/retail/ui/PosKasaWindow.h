#pragma once

#include <QWidget>
#include <optional>

#include "retail/TillSale.h"
#include "retail/ui/RetailCommands.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zodra::ui {
class DataGrid;
class DateBox;
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {
class ArticlePicker;
}

namespace zodra::retail::ui {

// frmPosKasa ("POS Kasa"): the retail register, worked from the keyboard. Its sale is a working
// copy of its own (TillSale); F12 posts it, takes the payment, prints the receipt and starts
// the next sale. The function keys work wherever the focus is in the window. With the
// workstation's "POS Multi Window" on, Insert opens one more register beside it, each with its own
// sale.
class PosKasaWindow : public QWidget {
    Q_OBJECT
public:
    // How articles are entered: by barcode (F5), by barcode after a quantity (F4), by code or
    // search (F6).
    enum class Entry { Barcode, BarcodeAndQuantity, Search };

    // The register for the session's user, or nullptr after the refusal was shown (no "POS"
    // right).
    static PosKasaWindow* Open(zodra::ui::WindowHost& host, const RegisterHooks& hooks);
    ~PosKasaWindow() override;

    QString Cashier() const { return m_cashier; }
    bool ReportRight() const { return m_rights.reports; }
    QString Caption() const;
    QString HelpText() const;
    // "EKRAN_1" … "EKRAN_3"
    QString Layout() const;
    Entry EntryMode() const { return m_entry; }
    const TillSale& Sale() const { return m_sale; }

    registers::ui::ArticlePicker* ArticleBox() const { return m_articles; }
    QLineEdit* CodeBox() const { return m_code; }
    QLineEdit* BarcodeBox() const { return m_barcode; }
    zodra::ui::NumberBox* QuantityBox() const { return m_quantity; }
    zodra::ui::NumberBox* DiscountBox() const { return m_discount; }
    QCheckBox* DiscountCheck() const { return m_discountOn; }
    QCheckBox* PrintCheck() const { return m_print; }
    QComboBox* CustomerBox() const { return m_customer; }
    QComboBox* TermsBox() const { return m_terms; }
    QComboBox* TransferBox() const { return m_transfer; }
    QLineEdit* LotBox() const { return m_lot; }
    zodra::ui::DataGrid* Grid() const { return m_grid; }
    QLabel* TotalLabel() const { return m_total; }
    QLineEdit* NumberField() const { return m_number; }
    zodra::ui::DateBox* DateField() const { return m_date; }
    QLabel* HelpLine() const { return m_help; }
    QLabel* LastLineLabel() const { return m_lastLine; }
    // The article sort order of the article box ("po nazivu" …); Pause/Break switches it.
    QString ArticleOrder() const;

    // The keys of the window's table, as pressed anywhere in it.
    bool HandleKey(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PosKasaWindow(zodra::ui::WindowHost& host, const RegisterHooks& hooks, const QString& cashier,
                  CashierRights rights);

    void BuildBoxes();
    void ApplyLayout(int layout);
    void SetEntry(Entry entry);
    void FillChoices();
    void Refresh();
    void ShowLine(const RegisterLineResult& result);
    void Display(const QString& line1, const QString& line2);
    void NumberLeft();

    void BarcodeEntered();
    void CodeEntered();
    void QuantityEntered();
    void AddChosenArticle();
    void DeleteLine();
    void PostAndPay();
    void ResetForNextCustomer();
    void LogOff();
    void OpenDrawer();
    // Insert with "POS Multi Window" on: another register for the next customer.
    void OpenAnotherRegister();
    void SwitchArticleOrder();
    void CloseSale();

    zodra::ui::WindowHost& m_host;
    RegisterHooks m_hooks;
    QString m_cashier;
    CashierRights m_rights;
    TillSale m_sale;
    bool m_saleOpen = false;
    Entry m_entry = Entry::Barcode;
    int m_layout = 1;
    int m_order = 0;

    QGridLayout* m_entryLayout = nullptr;
    registers::ui::ArticlePicker* m_articles = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_barcode = nullptr;
    zodra::ui::NumberBox* m_quantity = nullptr;
    zodra::ui::NumberBox* m_discount = nullptr;
    QCheckBox* m_discountOn = nullptr;
    QCheckBox* m_print = nullptr;
    QComboBox* m_customer = nullptr;
    QComboBox* m_terms = nullptr;
    QComboBox* m_transfer = nullptr;
    QLineEdit* m_lot = nullptr;
    zodra::ui::DataGrid* m_grid = nullptr;
    QLabel* m_total = nullptr;
    QLineEdit* m_number = nullptr;
    zodra::ui::DateBox* m_date = nullptr;
    bool m_checkingNumber = false;
    QLabel* m_help = nullptr;
    QLabel* m_lastLine = nullptr;
    QPushButton* m_drawer = nullptr;
    QPushButton* m_post = nullptr;
    QLabel* m_orderLabel = nullptr;
    QList<QWidget*> m_labels;
};

QString NoRegisterRightMessage(const QString& user);  // "Korisnik " + user + " nema prava …"
QString AddFailedMessage();                           // "Upis artikla nije uspio."

}  // namespace zodra::retail::ui
