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
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
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
    auto* closeButton = MakeButton(T(u"&Zatvori"), QStringLiteral("Zatvori"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(closeButton, 0, Qt::AlignRight);

    connect(m_company, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_company->item(item->row(), 0)->text();
            Guarded(m_prompter, [&] { companyconfig::Write(m_db, key, item->text()); });
        }
    });
    connect(m_workstation, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_workstation->item(item->row(), 0)->text();
            Guarded(m_prompter,
                    [&] { workstationconfig::Write(m_workstationFile, key, item->text()); });
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
        grid->setItem(i, 1, new QTableWidgetItem(rows[i].second));
    }
    grid->resizeColumnToContents(0);
    return grid;
}

}  // namespace zodra::ui
