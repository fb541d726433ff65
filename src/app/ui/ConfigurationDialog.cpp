#include "app/ui/ConfigurationDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/CompanyConfig.h"
#include "app/CompanyData.h"
#include "app/WorkstationConfig.h"
#include "data/Database.h"
#include "data/Paths.h"
#include "data/Prompter.h"
#include "pos/PosDevice.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The configuration keeps its switches as "True" and "False"; the window shows and takes them
// as the program's other yes/no values, "DA" and "NE".
QString Shown(const QString& stored) {
    if (stored.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("DA");
    }
    if (stored.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("NE");
    }
    return stored;
}

QString Stored(const QString& typed) {
    const QString t = typed.trimmed();
    if (t.compare(QLatin1String("DA"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("True");
    }
    if (t.compare(QLatin1String("NE"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("False");
    }
    return typed;
}

// The typed value written, and shown as the window shows it.
QString Taken(QTableWidgetItem* item) {
    const QString stored = Stored(item->text());
    const QString shown = Shown(stored);
    if (shown != item->text()) {
        const QSignalBlocker block(item->tableWidget());
        item->setText(shown);
    }
    return stored;
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(Database& db, Prompter& prompter,
                                         const QString& workstationFile, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_workstationFile(workstationFile) {
    setObjectName(QStringLiteral("Konfiguracija"));
    setWindowTitle(QStringLiteral("Konfiguracija"));
    auto* layout = new QVBoxLayout(this);
    std::vector<std::pair<QString, QString>> companyRows;
    std::vector<std::pair<QString, QString>> workstationRows;
    Guarded(m_prompter, [&] {
        companyRows = companyconfig::ReadAll(m_db);
        workstationRows = workstationconfig::ReadAll(m_workstationFile);
    });
    layout->addWidget(new QLabel(T(u"Postavke poduzeća (za sva računala):"), this));
    m_company = MakeGrid(companyRows);
    m_company->setObjectName(QStringLiteral("KonfiguracijaPoduzeca"));
    layout->addWidget(m_company, 3);
    layout->addWidget(new QLabel(T(u"Postavke ovog računala:"), this));
    m_workstation = MakeGrid(workstationRows);
    m_workstation->setObjectName(QStringLiteral("KonfiguracijaRacunala"));
    layout->addWidget(m_workstation, 2);
    auto* buttons = new QHBoxLayout;
    auto* testButton = MakeButton(T(u"&Test"), QStringLiteral("TestPos"), this);
    testButton->setToolTip(T(u"Probni ispis na POS printer i probni tekst na displeju kupca"));
    connect(testButton, &QPushButton::clicked, this, &ConfigurationDialog::TestPosDevices);
    auto* closeButton = MakeButton(T(u"&Zatvori"), QStringLiteral("Zatvori"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(testButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(m_company, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_company->item(item->row(), 0)->text();
            const QString value = Taken(item);
            Guarded(m_prompter, [&] { companyconfig::Write(m_db, key, value); });
        }
    });
    connect(m_workstation, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_workstation->item(item->row(), 0)->text();
            const QString value = Taken(item);
            Guarded(m_prompter, [&] { workstationconfig::Write(m_workstationFile, key, value); });
        }
    });
    for (QTableWidget* grid : {m_company, m_workstation}) {
        connect(grid, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
            if (column == 0) {
                m_prompter.Inform(T(u"Mijenjati možete samo polje vrijednosti."), windowTitle());
            }
        });
    }
    resize(680, 640);
}

void ConfigurationDialog::TestPosDevices() {
    Guarded(m_prompter, [&] {
        const WorkstationSettings settings =
            workstationconfig::FromValues(workstationconfig::ReadAll(m_workstationFile));
        const QString error = pos::TestDevices(settings);
        m_prompter.Inform(error.isEmpty() ? T(u"Probni ispis je poslan na POS printer.") : error,
                          windowTitle());
    });
}

QTableWidget* ConfigurationDialog::MakeGrid(const std::vector<std::pair<QString, QString>>& rows) {
    auto* grid = new QTableWidget(static_cast<int>(rows.size()), 2, this);
    grid->setHorizontalHeaderLabels({QStringLiteral("Naziv"), QStringLiteral("Vrijednost")});
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    const QSignalBlocker block(grid);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        auto* name = new QTableWidgetItem(rows[i].first);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(i, 0, name);
        grid->setItem(i, 1, new QTableWidgetItem(Shown(rows[i].second)));
    }
    grid->resizeColumnToContents(0);
    return grid;
}

}  // namespace zodra::ui
