#include "stockdocs/ui/PriceChangeArticleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <vector>

#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "stockdocs/PriceChangeGenerators.h"
#include "stockdocs/PriceChangeList.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

namespace {

void FillChoices(QComboBox* box, const std::vector<PriceChangeChoice>& choices) {
    box->addItem(QStringLiteral("(sve)"), 0);
    for (const PriceChangeChoice& c : choices) {
        box->addItem(c.name, c.code);
    }
}

}  // namespace

PriceChangeArticleDialog::PriceChangeArticleDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmIzborArtikalaIzmjene"));
    setWindowTitle(QStringLiteral("Izbor artikala za upis u izmjenu cijena"));
    resize(560, 480);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_taxGroup = new QComboBox(this);
    m_taxGroup->setObjectName(QStringLiteral("GrupaPoreza"));
    m_articleGroup = new QComboBox(this);
    m_articleGroup->setObjectName(QStringLiteral("GrupaArtikala"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        FillChoices(m_taxGroup, TaxGroupChoices(host.CurrentSession().Db()));
        FillChoices(m_articleGroup, ArticleGroupChoices(host.CurrentSession().Db()));
    });
    form->addRow(QStringLiteral("Grupa poreza :"), m_taxGroup);
    form->addRow(QStringLiteral("Grupa artikala :"), m_articleGroup);
    layout->addLayout(form);
    m_articles = new QListWidget(this);
    m_articles->setObjectName(QStringLiteral("Artikli"));
    layout->addWidget(m_articles, 1);
    auto* marks = new QHBoxLayout;
    auto* all = new QPushButton(QStringLiteral("Označi s&ve"), this);
    all->setObjectName(QStringLiteral("OznaciSve"));
    auto* none = new QPushButton(QStringLiteral("&Poništi oznake"), this);
    none->setObjectName(QStringLiteral("PonistiOznake"));
    marks->addWidget(all);
    marks->addWidget(none);
    marks->addStretch();
    layout->addLayout(marks);
    auto* percentRow = new QFormLayout;
    m_percent = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_percent->setObjectName(QStringLiteral("Postotak"));
    m_percent->setMaximumWidth(120);
    m_percent->SetLimit(limits::NumberKind::Percent, QStringLiteral("Postotak"));
    percentRow->addRow(QStringLiteral("Postotak :"), m_percent);
    m_fromCost = new QCheckBox(QStringLiteral("u odnosu na nabavnu cijenu"), this);
    m_fromCost->setObjectName(QStringLiteral("NaNabavnu"));
    percentRow->addRow(m_fromCost);
    layout->addLayout(percentRow);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &PriceChangeArticleDialog::Apply);
    connect(m_taxGroup, &QComboBox::currentIndexChanged, this, &PriceChangeArticleDialog::Refill);
    connect(m_articleGroup, &QComboBox::currentIndexChanged, this,
            &PriceChangeArticleDialog::Refill);
    auto markAll = [this](Qt::CheckState state) {
        for (int i = 0; i < m_articles->count(); ++i) {
            m_articles->item(i)->setCheckState(state);
        }
    };
    connect(all, &QPushButton::clicked, this, [markAll] { markAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [markAll] { markAll(Qt::Unchecked); });
    Refill();
    m_taxGroup->setFocus();
}

// A new filter shows other articles; marks of articles still shown are kept.
void PriceChangeArticleDialog::Refill() {
    QSet<int> marked;
    for (int i = 0; i < m_articles->count(); ++i) {
        if (m_articles->item(i)->checkState() == Qt::Checked) {
            marked.insert(m_articles->item(i)->data(Qt::UserRole).toInt());
        }
    }
    m_articles->clear();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const TableData rows =
            ArticlesWithStock(m_host.CurrentSession(), m_taxGroup->currentData().toInt(),
                              m_articleGroup->currentData().toInt());
        for (const QVariantList& row : rows.rows) {
            auto* item = new QListWidgetItem(
                row.at(1).toString() + QStringLiteral("  ") + row.at(2).toString(), m_articles);
            item->setData(Qt::UserRole, row.at(0).toInt());
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(marked.contains(row.at(0).toInt()) ? Qt::Checked : Qt::Unchecked);
        }
    });
}

void PriceChangeArticleDialog::Apply() {
    if (!m_percent->Commit()) {
        return;
    }
    std::vector<int> articles;
    for (int i = 0; i < m_articles->count(); ++i) {
        if (m_articles->item(i)->checkState() == Qt::Checked) {
            articles.push_back(m_articles->item(i)->data(Qt::UserRole).toInt());
        }
    }
    if (articles.empty()) {
        m_host.UserPrompter().Inform(QStringLiteral("Niste označili niti jedan artikal."),
                                     windowTitle());
        m_articles->setFocus();
        return;
    }
    const double percent = m_percent->Value();
    const bool fromCost = m_fromCost->isChecked();
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            m_written = AddLinesByPercent(m_host.CurrentSession(), articles, percent, fromCost);
        })) {
        accept();
    }
}

}  // namespace zodra::stockdocs::ui
