#include "stockdocs/ui/PriceEqualisationDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "data/Prompter.h"
#include "data/Session.h"
#include "stockdocs/PriceChangeGenerators.h"
#include "stockdocs/PriceChangeList.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

PriceEqualisationDialog::PriceEqualisationDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmIzjednacavanjeCijena"));
    setWindowTitle(
        QStringLiteral("Izjednačavanje cijena (kod FIFO na najveću cijenu) sa drugim skladištem"));
    resize(520, 420);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_warehouse = new QComboBox(this);
    m_warehouse->setObjectName(QStringLiteral("Skladiste"));
    m_warehouse->addItem(QString(), 0);
    m_groups = new QListWidget(this);
    m_groups->setObjectName(QStringLiteral("GrupeArtikala"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        Session& session = host.CurrentSession();
        for (const PriceChangeChoice& w : OtherWarehouses(session)) {
            m_warehouse->addItem(QString::number(w.code) + QStringLiteral(" - ") + w.name, w.code);
        }
        for (const PriceChangeChoice& g : ArticleGroupChoices(session.Db())) {
            auto* item = new QListWidgetItem(g.name, m_groups);
            item->setData(Qt::UserRole, g.code);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    });
    form->addRow(QStringLiteral("Skladište :"), m_warehouse);
    form->addRow(QStringLiteral("Grupe artikala :"), m_groups);
    layout->addLayout(form, 1);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &PriceEqualisationDialog::Apply);
    m_warehouse->setFocus();
}

void PriceEqualisationDialog::Apply() {
    std::vector<int> groups;
    for (int i = 0; i < m_groups->count(); ++i) {
        if (m_groups->item(i)->checkState() == Qt::Checked) {
            groups.push_back(m_groups->item(i)->data(Qt::UserRole).toInt());
        }
    }
    const int warehouse = m_warehouse->currentData().toInt();
    if (warehouse > 0 && groups.empty()) {
        m_host.UserPrompter().Inform(QStringLiteral("Niste označili niti jednu grupu artikala."),
                                     windowTitle());
        m_groups->setFocus();
        return;
    }
    if (zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            m_written = AddLinesEqualisedWith(m_host.CurrentSession(), warehouse, groups);
        })) {
        accept();
    } else {
        m_warehouse->setFocus();
    }
}

}  // namespace zodra::stockdocs::ui
