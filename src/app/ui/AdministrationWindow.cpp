#include "app/ui/AdministrationWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Administration.h"
#include "data/CommandCatalogue.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

AdministrationWindow::AdministrationWindow(WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("Administracija"));
    setWindowTitle(QStringLiteral("Administracija"));
    auto* layout = new QVBoxLayout(this);
    m_sql = new QPlainTextEdit(this);
    m_sql->setObjectName(QStringLiteral("SQL"));
    m_sql->setPlaceholderText(QStringLiteral("SQL naredba"));
    m_sql->setTabChangesFocus(true);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    m_sql->setFont(mono);
    m_sql->setMaximumHeight(m_sql->fontMetrics().height() * 8);
    layout->addWidget(m_sql);
    auto* buttons = new QHBoxLayout;
    const struct {
        const char16_t* caption;
        const char16_t* name;
    } defs[] = {{u"Izvrši &naredbu", u"ExecuteSQL"},
                {u"Izvrši &upit", u"ExecuteQuery"},
                {u"Provjera", u"Provjera"},
                {u"Naknadne izmjene cijena", u"NaknadneIzmjeneCijena"}};
    QList<QPushButton*> made;
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromUtf16(d.caption), this);
        b->setObjectName(QString::fromUtf16(d.name));
        buttons->addWidget(b);
        made << b;
    }
    buttons->addStretch();
    buttons->addWidget(MakeCloseButton(this));
    layout->addLayout(buttons);
    m_result = new DataGrid(this);
    m_result->SetSortable(true);
    m_result->setObjectName(QStringLiteral("Rezultat"));
    layout->addWidget(m_result, 1);
    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("Ishod"));
    layout->addWidget(m_outcome);
    connect(made[0], &QPushButton::clicked, this, &AdministrationWindow::ExecuteSql);
    connect(made[1], &QPushButton::clicked, this, &AdministrationWindow::ExecuteQuery);
    connect(made[2], &QPushButton::clicked, this, &AdministrationWindow::Check);
    connect(made[3], &QPushButton::clicked, this,
            [this] { m_host.UserPrompter().Inform(commands::NotAvailableText(), windowTitle()); });
    resize(820, 560);
}

bool AdministrationWindow::Allowed() const {
    // The window is opened for the administrator only; the check stays with the work it guards.
    return m_host.CurrentSession().IsOpen() &&
           m_host.CurrentSession().userName == QLatin1String("admin");
}

QString AdministrationWindow::Outcome() const {
    return m_outcome->text();
}

void AdministrationWindow::ExecuteQuery() {
    if (!Allowed()) {
        return;
    }
    TableData rows;
    if (Guarded(m_host.UserPrompter(), [&] {
            rows = administration::RunQuery(m_host.CurrentSession().Db(), m_sql->toPlainText());
        })) {
        const int count = rows.RowCount();
        m_result->SetData(std::move(rows));
        m_outcome->setText(QStringLiteral("Redaka: %1").arg(count));
    }
}

void AdministrationWindow::ExecuteSql() {
    if (!Allowed() ||
        !m_host.UserPrompter().AskYesNo(administration::ExecuteQuestion(), windowTitle(), false)) {
        return;
    }
    int changed = 0;
    if (Guarded(m_host.UserPrompter(), [&] {
            changed = administration::Execute(m_host.CurrentSession().Db(), m_sql->toPlainText());
        })) {
        m_outcome->setText(QStringLiteral("Promijenjeno redaka: %1").arg(changed));
    }
}

void AdministrationWindow::Check() {
    if (!Allowed()) {
        return;
    }
    TableData rows;
    if (Guarded(m_host.UserPrompter(),
                [&] { rows = administration::StockCheck(m_host.CurrentSession().Db()); })) {
        const int count = rows.RowCount();
        m_result->SetData(std::move(rows));
        m_outcome->setText(count == 0 ? QStringLiteral("Stanje nabava i kartica artikala se slaže.")
                                      : QStringLiteral("Artikala s razlikom: %1").arg(count));
    }
}

}  // namespace zodra::ui
