#include "purchasing/ui/LineEntryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ui/CalculationDialog.h"
#include "registers/ui/ArticlePicker.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

LineEntryDialog::LineEntryDialog(zodra::ui::WindowHost& host, ReceiptTarget target,
                                 CalculationContext context, QWidget* parent)
    : QDialog(parent), m_host(host), m_target(target), m_context(std::move(context)) {
    setObjectName(QStringLiteral("frmUpisPrimke"));
    setWindowTitle(
        QStringLiteral("Upis (Za ulazak u kompletnu kalkulaciju izaberite artikal, "
                       "upišite količinu i kliknite na \"Prihvati\")"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_picker = new registers::ui::ArticlePicker(host, this);
    m_picker->ShowGroupFilter();
    form->addRow(QStringLiteral("Artikal :"), m_picker);
    auto* facts = new QHBoxLayout;
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("JedinicaMjere"));
    m_stock = new QLabel(QStringLiteral("Zaliha : "), this);
    m_stock->setObjectName(QStringLiteral("Zaliha"));
    m_lotPrice = new QLabel(QStringLiteral("Cijena : "), this);
    m_lotPrice->setObjectName(QStringLiteral("Cijena"));
    facts->addWidget(m_unit);
    facts->addSpacing(20);
    facts->addWidget(m_stock);
    facts->addSpacing(20);
    facts->addWidget(m_lotPrice);
    facts->addStretch();
    form->addRow(QString(), facts);
    auto box = [&](const QString& name) {
        auto* b = new zodra::ui::NumberBox(host.UserPrompter(), this);
        b->setObjectName(name);
        b->setMaximumWidth(160);
        return b;
    };
    m_quantity = box(QStringLiteral("Kolicina"));
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    m_costPrice = box(QStringLiteral("NabavnaCijena"));
    m_costValue = box(QStringLiteral("NabavnaVrijednost"));
    auto* cost = new QHBoxLayout;
    cost->addWidget(m_costPrice);
    cost->addWidget(new QLabel(QStringLiteral("Nabavna vr. :"), this));
    cost->addWidget(m_costValue);
    cost->addStretch();
    form->addRow(QStringLiteral("Nabavna cijena :"), cost);
    m_price = box(QStringLiteral("ProdajnaCijena"));
    m_value = box(QStringLiteral("ProdajnaVrijednost"));
    using Kind = zodra::limits::NumberKind;
    m_quantity->SetLimit(Kind::Quantity, QStringLiteral("Količina"));
    m_costPrice->SetLimit(Kind::Price, QStringLiteral("Nabavna cijena"));
    m_costValue->SetLimit(Kind::Amount, QStringLiteral("Nabavna vrijednost"));
    m_price->SetLimit(Kind::Price, QStringLiteral("Cijena"));
    m_value->SetLimit(Kind::Amount, QStringLiteral("Vrijednost"));
    auto* selling = new QHBoxLayout;
    selling->addWidget(m_price);
    selling->addWidget(new QLabel(QStringLiteral("Prodajna vr. :"), this));
    selling->addWidget(m_value);
    selling->addStretch();
    form->addRow(QStringLiteral("Prodajna c. :"), selling);
    layout->addLayout(form);
    auto* note = new QLabel(QStringLiteral("Cijene su bez poreza."), this);
    note->setStyleSheet(QStringLiteral("color: #555555"));
    layout->addWidget(note);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    QPushButton* accept = buttons->AcceptButton();
    QPushButton* cancel = buttons->CancelButton();
    layout->addWidget(buttons);
    connect(accept, &QPushButton::clicked, this, &LineEntryDialog::AcceptLine);
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });
    connect(m_picker->Box(), &QComboBox::currentIndexChanged, this,
            &LineEntryDialog::ArticleChosen);
    // An article found by its code or barcode (typed or scanned, then Enter) or chosen from the
    // list: the quantity comes next.
    connect(m_picker, &registers::ui::ArticlePicker::chosen, this,
            [this] { m_quantity->setFocus(Qt::OtherFocusReason); });
    connect(m_quantity, &zodra::ui::NumberBox::valueEdited, this, [this](double v) {
        m_line.TypeQuantity(v);
        Show();
    });
    connect(m_costPrice, &zodra::ui::NumberBox::valueEdited, this, [this](double v) {
        m_line.TypeCostPrice(v);
        Show();
    });
    connect(m_costValue, &zodra::ui::NumberBox::valueEdited, this, [this](double v) {
        m_line.TypeCostValue(v);
        Show();
    });
    connect(m_price, &zodra::ui::NumberBox::valueEdited, this, [this](double v) {
        m_line.TypePrice(v);
        Show();
    });
    connect(m_value, &zodra::ui::NumberBox::valueEdited, this, [this](double v) {
        m_line.TypeValue(v);
        Show();
    });
    resize(640, 230);
    m_picker->SearchField()->setFocus();
}

void LineEntryDialog::ArticleChosen() {
    const int article = m_picker->Code();
    if (article == 0) {
        m_unit->clear();
        m_stock->setText(QStringLiteral("Zaliha : "));
        m_lotPrice->setText(QStringLiteral("Cijena : "));
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const ArticleFacts f = ReadArticleFacts(m_host.CurrentSession(), article);
        m_unit->setText(QStringLiteral("JM : ") + f.unit);
        m_stock->setText(QStringLiteral("Zaliha : ") + inputrules::FormatNumber(f.stock, 3));
        m_lotPrice->setText(QStringLiteral("Cijena : ") + inputrules::FormatNumber(f.lotPrice, 4));
    });
}

// Shows the boxes the user is not typing in.
void LineEntryDialog::Show() {
    const QWidget* typing = focusWidget();
    auto set = [typing](zodra::ui::NumberBox* box, double value) {
        if (box != typing) {
            box->SetValue(value);
        }
    };
    set(m_costPrice, m_line.costPrice);
    set(m_costValue, m_line.costValue);
    set(m_price, m_line.price);
    set(m_value, m_line.value);
}

void LineEntryDialog::Clear() {
    m_line = QuickLine{};
    m_picker->SetCode(0);
    for (zodra::ui::NumberBox* b : {m_quantity, m_costPrice, m_costValue, m_price, m_value}) {
        b->SetValue(0);
    }
    m_picker->SearchField()->clear();
    m_picker->SearchField()->setFocus();
}

bool LineEntryDialog::AcceptLine() {
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const int article = m_picker->Code();
    if (article == 0) {
        prompter.Inform(QStringLiteral("Nije izabran artikal !"), windowTitle());
        m_picker->SearchField()->setFocus();
        return false;
    }
    m_line.quantity = m_quantity->Value();
    if (m_line.quantity == 0.0) {
        prompter.Inform(QStringLiteral("Nije upisana količina !"), windowTitle());
        m_quantity->setFocus();
        return false;
    }
    const CalculationMode mode =
        m_target.IsPosted() ? CalculationMode::Correction : CalculationMode::Entry;
    bool written = false;
    zodra::ui::Guarded(prompter, [&] {
        const ArticleFacts facts = ReadArticleFacts(session, article);
        ReceiptRow row;
        if (m_line.WantsCalculation()) {
            CalculationContext context = m_context;
            context.packagingInvoiceValue =
                receiptlines::Totals(session.Db(), m_target).packagingValue;
            CalculationDialog calculation(
                m_host, facts, NewCalculation(session.Db(), facts, m_line.quantity, context, mode),
                this);
            const bool accepted =
                m_hook ? m_hook(calculation) : calculation.exec() == QDialog::Accepted;
            if (!accepted) {
                return;
            }
            const PriceCalculation& c = calculation.Calculation();
            row = ReceiptRow::FromCalculation(article, c,
                                              c.Value(PriceCalculation::Box::RetailMarginPercent));
        } else {
            row = m_line.Row(article, facts.retailMargin);
        }
        AcceptArticleLine(session, prompter, m_target, row, mode);
        written = true;
    });
    if (!written) {
        return false;
    }
    ++m_written;
    if (session.company.closeLineWindowAfterEntry) {
        QDialog::accept();
    } else {
        Clear();
    }
    return true;
}

}  // namespace zodra::purchasing::ui
