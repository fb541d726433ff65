#include "app/ui/SettingsDialog.h"

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
#include "app/ui/ConfigurationDialog.h"
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

SettingsDialog::SettingsDialog(Database& db, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter) {
    setObjectName(QStringLiteral("Postavke"));
    setWindowTitle(QStringLiteral("Postavke"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const struct {
        const char16_t* column;
        const char16_t* label;
    } texts[] = {{u"REPORT VRACUNA", u"Report veleprodajnog računa :"},
                 {u"REPORT MRACUNA", u"Report maloprodajnog računa :"},
                 {u"REPORT RACUNA VOZILA", u"Report računa za vozilo :"},
                 {u"POS PORT", u"POS port :"},
                 {u"FormatBroj", u"Format brojeva :"}};
    QVariantMap values;
    Guarded(m_prompter, [&] { values = companydata::Read(m_db); });
    for (const auto& t : texts) {
        auto* edit = new QLineEdit(values.value(T(t.column)).toString(), this);
        edit->setObjectName(T(t.column));
        m_fields.insert(T(t.column), edit);
        form->addRow(T(t.label), edit);
    }
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    auto* logo = MakeButton(T(u"Izbor &logotipa"), QStringLiteral("IzborLogotipa"), this);
    auto* detail =
        MakeButton(T(u"Baza za &detaljne račune"), QStringLiteral("DetaljniRacuni"), this);
    auto* configuration = MakeButton(T(u"&Konfiguracija"), QStringLiteral("Konfiguracija"), this);
    row->addWidget(logo);
    row->addWidget(detail);
    row->addWidget(configuration);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* save = MakeButton(T(u"&Spremi"), QStringLiteral("Spremi"), this);
    auto* closeButton = MakeButton(T(u"&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(save);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(logo, &QPushButton::clicked, this, &SettingsDialog::ChooseLogo);
    connect(detail, &QPushButton::clicked, this, &SettingsDialog::RelinkDetail);
    connect(configuration, &QPushButton::clicked, this, [this] {
        ConfigurationDialog dialog(m_db, m_prompter, paths::WorkstationConfigFile(), this);
        dialog.exec();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (Save()) {
            accept();
        }
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, sizeHint().height());
}

bool SettingsDialog::Save() {
    QVariantMap values;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        values[it.key()] = it.value()->text();
    }
    return Guarded(m_prompter, [&] { companydata::SaveSettings(m_db, values); });
}

void SettingsDialog::ChooseLogo() {
    const QString path = m_prompter.ChooseFileToOpen(
        T(u"Izbor logotipa"), T(u"Bitmap datoteke|*.bmp"), paths::ProgramFolder());
    if (path.isEmpty()) {
        return;
    }
    if (Guarded(m_prompter, [&] { companydata::StoreLogo(m_db, path); })) {
        m_prompter.Inform(T(u"Logo je unesen u bazu podataka."), windowTitle());
    }
}

void SettingsDialog::RelinkDetail() {
    const QString path = m_prompter.ChooseFileToOpen(T(u"Baza podataka za detaljne račune"),
                                                     T(u"Zodra datoteke|*.det"),
                                                     QFileInfo(m_db.Path()).absolutePath());
    if (path.isEmpty()) {
        return;
    }
    if (Guarded(m_prompter, [&] { companydata::RelinkDetailFile(m_db, path); })) {
        m_prompter.Inform(T(u"Baza podataka za detaljne račune je povezana: ") + path,
                          windowTitle());
    }
}

}  // namespace zodra::ui
