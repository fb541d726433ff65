#include "sales/ui/ArticleLineDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/ui/ArticlePicker.h"
#include "sales/InvoiceEntry.h"
#include "sales/ui/LineBoxes.h"
#include "stock/Lots.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::NumberBox;
using Kind = zodra::limits::NumberKind;

void FillTermsBox(QComboBox* box, Session& session, std::optional<int> chosen) {
    box->clear();
    for (const NamedCode& terms : SalesTermsList(session.Db())) {
        box->addItem(terms.name, terms.code);
    }
    if (chosen) {
        box->setCurrentIndex(box->findData(*chosen));
    }
}

ArticleLineDialog::ArticleLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                                     ArticleLineWriter writer, QWidget* parent)
    : QDialog(parent), m_host(host), m_draft(draft), m_writer(std::move(writer)) {
    setObjectName(QStringLiteral("frmUpisArtikla"));
    setWindowTitle(QStringLiteral("Upis artikla"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_picker = new registers::ui::ArticlePicker(host, this);
    m_picker->ShowGroupFilter();
    m_picker->SetStockPlace(draft.warehouse, draft.year);
    m_all = new QCheckBox(QStringLiteral("svi"), this);
    m_all->setObjectName(QStringLiteral("Svi"));
    m_all->setToolTip(QStringLiteral("Prikaži i artikle bez zalihe"));
    auto* articleRow = new QHBoxLayout;
    articleRow->addWidget(m_picker, 1);
    articleRow->addWidget(m_all);
    form->addRow(QStringLiteral("Artikal :"), articleRow);
    auto* facts = new QHBoxLayout;
    m_unit = new QLabel(this);
    m_unit->setObjectName(QStringLiteral("JedinicaMjere"));
    m_stock = new QLabel(QStringLiteral("Stanje zaliha : "), this);
    m_stock->setObjectName(QStringLiteral("StanjeZaliha"));
    m_costValue = new QLabel(QStringLiteral("Nabavna vrij. : "), this);
    m_costValue->setObjectName(QStringLiteral("NabavnaVrijednost"));
    facts->addWidget(m_unit);
    facts->addSpacing(20);
    facts->addWidget(m_stock);
    facts->addSpacing(20);
    facts->addWidget(m_costValue);
    facts->addSpacing(20);
    m_currencyPrice = new QLabel(QStringLiteral("Cijena u valuti : "), this);
    m_currencyPrice->setObjectName(QStringLiteral("CijenaUValuti"));
    facts->addWidget(m_currencyPrice);
    facts->addSpacing(20);
    m_maxDiscount = new QLabel(this);
    m_maxDiscount->setObjectName(QStringLiteral("MaxRabat"));
    facts->addWidget(m_maxDiscount);
    facts->addStretch();
    form->addRow(QString(), facts);
    m_lots = new QComboBox(this);
    m_lots->setObjectName(QStringLiteral("Primka"));
    m_lots->setToolTip(QStringLiteral("Izaberite primku po kojoj je artikal zaprimljen"));
    m_terms = new QComboBox(this);
    m_terms->setObjectName(QStringLiteral("UvjetProdaje"));
    FillTermsBox(m_terms, host.CurrentSession(), draft.salesTerms);
    auto* lotRow = new QHBoxLayout;
    lotRow->addWidget(m_lots);
    lotRow->addWidget(new QLabel(QStringLiteral("Uvjet pr. :"), this));
    lotRow->addWidget(m_terms, 1);
    form->addRow(QStringLiteral("Primka :"), lotRow);
    layout->addLayout(form);

    auto box = [&](const QString& name, Kind kind, const QString& what) {
        auto* b = MakeLineBox(host.UserPrompter(), name, kind, what, this);
        b->setMaximumWidth(160);
        return b;
    };
    m_quantity = MakeQuantityBox(host.UserPrompter(), this);
    m_quantity->setMaximumWidth(160);
    m_costPrice =
        box(QStringLiteral("NabavnaCijena"), Kind::Price, QStringLiteral("Nabavna cijena"));
    m_costPrice->setReadOnly(true);
    m_costPrice->setFocusPolicy(Qt::ClickFocus);
    m_price = box(QStringLiteral("Cijena"), Kind::Price, QStringLiteral("Cijena"));
    m_discountPercent =
        box(QStringLiteral("RabatPostotak"), Kind::Discount, QStringLiteral("Rabat"));
    m_value = box(QStringLiteral("Vrijednost"), Kind::Amount, QStringLiteral("Vrijednost"));
    m_discount = box(QStringLiteral("Rabat"), Kind::Amount, QStringLiteral("Rabat"));
    m_priceWithTax =
        box(QStringLiteral("CijenaSaPorezom"), Kind::Price, QStringLiteral("Cijena sa por."));
    m_valueWithTax =
        box(QStringLiteral("VrijednostSaPorezom"), Kind::Amount, QStringLiteral("Vrijed. sa por."));
    auto* grid = new QGridLayout;
    const struct {
        const char16_t* label;
        NumberBox* box;
    } cells[] = {
        {u"Količina :", m_quantity},
        {u"Nabavna cijena :", m_costPrice},
        {u"Cijena :", m_price},
        {u"Rabat % :", m_discountPercent},
        {u"Vrijednost :", m_value},
        {u"Rabat :", m_discount},
        {u"Cijena sa por. :", m_priceWithTax},
        {u"Vrijed. sa por. :", m_valueWithTax},
    };
    int i = 0;
    for (const auto& cell : cells) {
        grid->addWidget(new QLabel(QString::fromUtf16(cell.label), this), i / 2, (i % 2) * 2);
        grid->addWidget(cell.box, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    layout->addLayout(grid);
    auto* descriptionForm = new QFormLayout;
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Opis"));
    descriptionForm->addRow(QStringLiteral("Opis :"), m_description);
    layout->addLayout(descriptionForm);
    auto* note = new QLabel(QStringLiteral("Cijena, vrijednost i rabat su bez poreza."), this);
    note->setStyleSheet(QStringLiteral("color: #555555"));
    layout->addWidget(note);

    auto* buttons = new zodra::ui::DialogButtonRow(
        this, zodra::ui::DialogButtonRow::Buttons::AcceptAndOwnCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &ArticleLineDialog::AcceptLine);
    connect(buttons->CancelButton(), &QPushButton::clicked, this, [this] {
        if (m_written > 0) {
            QDialog::accept();
        } else {
            reject();
        }
    });

    // Keyboard order: the article, its lot and terms, the quantity, then the boxes row by row.
    QWidget* order[] = {m_lots,
                        m_terms,
                        m_quantity,
                        m_price,
                        m_discountPercent,
                        m_value,
                        m_discount,
                        m_priceWithTax,
                        m_valueWithTax,
                        m_description,
                        buttons->AcceptButton(),
                        buttons->CancelButton()};
    QWidget::setTabOrder(m_picker->Box(), m_all);
    QWidget::setTabOrder(m_all, m_lots);
    for (size_t k = 0; k + 1 < std::size(order); ++k) {
        QWidget::setTabOrder(order[k], order[k + 1]);
    }

    connect(m_all, &QCheckBox::toggled, this, [this](bool all) {
        if (all) {
            m_picker->SetStockPlace(std::nullopt);
        } else {
            m_picker->SetStockPlace(m_draft.warehouse, m_draft.year);
        }
    });
    connect(m_picker, &registers::ui::ArticlePicker::stockFilterChanged, this, [this](bool on) {
        const QSignalBlocker quiet(m_all);
        m_all->setChecked(!on);
    });
    connect(m_picker->Box(), &QComboBox::currentIndexChanged, this,
            &ArticleLineDialog::ArticleChosen);
    // An article found by its code or barcode (typed or scanned, then Enter) or chosen from the
    // list: the quantity comes next.
    connect(m_picker, &registers::ui::ArticlePicker::chosen, this,
            [this] { m_quantity->setFocus(Qt::OtherFocusReason); });
    connect(m_lots, &QComboBox::activated, this, [this] {
        if (m_lots->currentIndex() >= 0) {
            Propose(m_lots->currentData().toInt());
        }
    });
    connect(m_terms, &QComboBox::activated, this, [this] {
        if (LineTerms()) {
            zodra::ui::Guarded(m_host.UserPrompter(),
                               [&] { CheckSalesTerms(m_host.CurrentSession(), *LineTerms()); });
        }
        Propose(m_proposal ? std::optional<int>(m_proposal->lot) : std::nullopt);
    });
    auto follow = [this](NumberBox* b, void (InvoiceLineBoxes::*type)(double)) {
        connect(b, &NumberBox::valueEdited, this, [this, type](double v) {
            (m_boxes.*type)(v);
            Show();
        });
    };
    follow(m_quantity, &InvoiceLineBoxes::TypeQuantity);
    follow(m_price, &InvoiceLineBoxes::TypePrice);
    follow(m_discountPercent, &InvoiceLineBoxes::TypeDiscountPercent);
    follow(m_value, &InvoiceLineBoxes::TypeValue);
    follow(m_discount, &InvoiceLineBoxes::TypeDiscount);
    follow(m_priceWithTax, &InvoiceLineBoxes::TypePriceWithTax);
    follow(m_valueWithTax, &InvoiceLineBoxes::TypeValueWithTax);
    connect(m_quantity, &QLineEdit::editingFinished, this, &ArticleLineDialog::QuantityLeft);
    for (NumberBox* b :
         {m_price, m_discountPercent, m_value, m_discount, m_priceWithTax, m_valueWithTax}) {
        connect(b, &QLineEdit::editingFinished, this, &ArticleLineDialog::PriceLeft);
    }
    resize(680, 330);
    m_picker->SearchField()->setFocus();
}

std::optional<int> ArticleLineDialog::LineTerms() const {
    const QVariant v = m_terms->currentData();
    if (!v.isValid() || v.toInt() <= 0) {
        return std::nullopt;
    }
    return v.toInt();
}

void ArticleLineDialog::ArticleChosen() {
    m_proposal.reset();
    m_lots->clear();
    const int article = m_picker->Code();
    if (article == 0) {
        m_unit->clear();
        m_stock->setText(QStringLiteral("Stanje zaliha : "));
        m_currencyPrice->setText(QStringLiteral("Cijena u valuti : "));
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Database& db = m_host.CurrentSession().Db();
        for (int lot : stock::ListLots(db, m_draft.warehouse, m_draft.year, article, true)) {
            m_lots->addItem(QString::number(lot), lot);
        }
        const ArticleFacts f = ReadArticleFacts(db, m_draft.warehouse, m_draft.year, article);
        m_unit->setText(QStringLiteral("JM : ") + f.unit);
        m_currencyPrice->setText(sales::CurrencyPriceLabel(f));
    });
    Propose(std::nullopt);
}

// The proposal of the article (on the lot given, else its oldest with stock) under the line's
// terms: the boxes start from it, the typed quantity stays.
void ArticleLineDialog::Propose(std::optional<int> lot) {
    const int article = m_picker->Code();
    if (article == 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        Session& session = m_host.CurrentSession();
        m_proposal = ProposeArticle(session, m_draft, article, lot, LineTerms());
        m_lots->setCurrentIndex(m_lots->findData(m_proposal->lot));
        const ArticleFacts f =
            ReadArticleFacts(session.Db(), m_draft.warehouse, m_draft.year, article);
        m_stock->setText(QStringLiteral("Stanje zaliha : ") +
                         inputrules::FormatNumber(m_proposal->freeQuantity, 3) +
                         QStringLiteral(" (ukupno ") + inputrules::FormatNumber(f.stock, 3) +
                         QStringLiteral(")"));
        m_boxes.Propose(m_proposal->price, m_proposal->discount, m_proposal->taxRate,
                        m_proposal->costPrice);
        m_warnedBelowCost = false;
        Show();
        const std::optional<QString> notice =
            CurrencyPriceNotice(f, LineTerms().value_or(m_draft.salesTerms.value_or(0)));
        if (notice && !*m_currencyNoticeShown) {
            *m_currencyNoticeShown = true;
            m_host.UserPrompter().Inform(*notice, windowTitle());
        }
    });
}

void ArticleLineDialog::QuantityLeft() {
    if (!m_proposal || m_picker->Code() == 0 || m_boxes.quantity == 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const QuantityCheck check = CheckArticleQuantity(
            m_host.CurrentSession(), m_draft, m_picker->Code(), m_proposal->lot, m_boxes.quantity);
        for (const QString& message : check.messages) {
            m_host.UserPrompter().Inform(message, windowTitle());
        }
        if (check.quantity != m_boxes.quantity) {
            m_boxes.TypeQuantity(check.quantity);
            m_quantity->SetValue(check.quantity);
            Show();
        }
    });
}

void ArticleLineDialog::PriceLeft() {
    if (!m_proposal || !m_host.CurrentSession().company.warnBelowCost) {
        return;
    }
    const bool below = m_boxes.BelowCost();
    if (below && !m_warnedBelowCost) {
        m_host.UserPrompter().Inform(QStringLiteral("Prodajna cijena je manja od nabavne"),
                                     windowTitle());
    }
    m_warnedBelowCost = below;
}

// Shows the boxes the user is not typing in.
void ArticleLineDialog::Show() {
    const QWidget* typing = focusWidget();
    auto set = [typing](NumberBox* box, double value) {
        if (box != typing) {
            box->SetValue(value);
        }
    };
    set(m_costPrice, m_boxes.costPrice);
    set(m_price, m_boxes.price);
    set(m_discountPercent, m_boxes.discountPercent);
    set(m_value, m_boxes.value);
    set(m_discount, m_boxes.discount);
    set(m_priceWithTax, m_boxes.priceWithTax);
    set(m_valueWithTax, m_boxes.valueWithTax);
    m_costValue->setText(QStringLiteral("Nabavna vrij. : ") +
                         inputrules::FormatNumber(m_boxes.costValue, 2));
    const std::optional<int> terms = LineTerms() ? LineTerms() : m_draft.salesTerms;
    m_maxDiscount->setText(
        sales::MaxDiscountLabel(m_boxes.price, m_boxes.costPrice, terms == kRetailTerms));
}

void ArticleLineDialog::Clear() {
    m_boxes = InvoiceLineBoxes{};
    m_proposal.reset();
    m_picker->SetCode(0);
    for (NumberBox* b : {m_quantity, m_costPrice, m_price, m_discountPercent, m_value, m_discount,
                         m_priceWithTax, m_valueWithTax}) {
        b->SetValue(0);
    }
    m_description->clear();
    m_picker->SearchField()->clear();
    m_picker->SearchField()->setFocus();
}

bool ArticleLineDialog::AcceptLine() {
    Prompter& prompter = m_host.UserPrompter();
    for (NumberBox* b : {m_quantity, m_price, m_discountPercent, m_value, m_discount,
                         m_priceWithTax, m_valueWithTax}) {
        if (!b->Commit()) {
            return false;
        }
    }
    const int article = m_picker->Code();
    if (article == 0) {
        prompter.Inform(QStringLiteral("Nije izabran artikal !"), windowTitle());
        m_picker->SearchField()->setFocus();
        return false;
    }
    if (m_boxes.quantity == 0.0) {
        prompter.Inform(QStringLiteral("Količina ne može biti nula !"), windowTitle());
        m_quantity->setFocus();
        return false;
    }
    ArticleLineInput input;
    input.article = article;
    input.lot = m_proposal ? std::optional<int>(m_proposal->lot) : std::nullopt;
    input.quantity = m_boxes.quantity;
    input.price = m_boxes.price;
    input.discount = m_boxes.discountPercent;
    input.salesTerms = LineTerms();
    input.description = m_description->text().trimmed();
    std::optional<AcceptedLine> accepted;
    if (!zodra::ui::Guarded(prompter, [&] { accepted = m_writer(input); }) || !accepted) {
        return false;
    }
    ++m_written;
    if (m_host.CurrentSession().company.closeLineWindowAfterEntry) {
        QDialog::accept();
    } else {
        Clear();
    }
    return true;
}

}  // namespace zodra::sales::ui
