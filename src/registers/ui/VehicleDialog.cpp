#include "registers/ui/VehicleDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/Articles.h"
#include "registers/TypedValue.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

namespace {

const std::vector<std::pair<QString, QString>>& Boxes() {
    static const std::vector<std::pair<QString, QString>> boxes = {
        {QStringLiteral("VRSTA_VOZILA"), QStringLiteral("Vrsta vozila :")},
        {QStringLiteral("MARKA"), QStringLiteral("Marka :")},
        {QStringLiteral("MODEL"), QStringLiteral("Model :")},
        {QStringLiteral("BROJ_SASIJE"), QStringLiteral("Broj šasije :")},
        {QStringLiteral("BROJ_MOTORA"), QStringLiteral("Broj motora :")},
        {QStringLiteral("GODINA_PROIZVODNJE"), QStringLiteral("Godina proizvodnje :")},
        {QStringLiteral("BOJA"), QStringLiteral("Boja :")},
        {QStringLiteral("NAPOMENA"), QStringLiteral("Napomena :")},
    };
    return boxes;
}

}  // namespace

VehicleDialog::VehicleDialog(zodra::ui::WindowHost& host, int article, QWidget* parent)
    : QDialog(parent), m_host(host), m_article(article) {
    setObjectName(QStringLiteral("PodaciVozila"));
    setWindowTitle(QStringLiteral("Podaci vozila"));
    auto* layout = new QFormLayout(this);
    for (const auto& [name, label] : Boxes()) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        layout->addRow(label, box);
    }
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addRow(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] {
        if (Accept()) {
            QDialog::accept();
        }
    });

    std::optional<articles::VehicleData> stored;
    zodra::ui::Guarded(host.UserPrompter(),
                       [&] { stored = articles::Vehicle(host.CurrentSession().Db(), article); });
    if (stored) {
        Box(QStringLiteral("VRSTA_VOZILA"))->setText(stored->kind);
        Box(QStringLiteral("MARKA"))->setText(stored->make);
        Box(QStringLiteral("MODEL"))->setText(stored->model);
        Box(QStringLiteral("BROJ_SASIJE"))->setText(stored->chassisNumber);
        Box(QStringLiteral("BROJ_MOTORA"))->setText(stored->engineNumber);
        Box(QStringLiteral("GODINA_PROIZVODNJE"))
            ->setText(stored->year ? QString::number(*stored->year) : QString());
        Box(QStringLiteral("BOJA"))->setText(stored->colour);
        Box(QStringLiteral("NAPOMENA"))->setText(stored->note);
    }
}

QLineEdit* VehicleDialog::Box(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

bool VehicleDialog::Accept() {
    return zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const QString yearText = Box(QStringLiteral("GODINA_PROIZVODNJE"))->text().trimmed();
        const auto year = ParseInteger(yearText);
        if (!yearText.isEmpty() && (!year || *year < 1800 || *year > 9999)) {
            throw UserError(QStringLiteral("Godina proizvodnje nije ispravno upisana"));
        }
        articles::VehicleData vehicle{
            Box(QStringLiteral("VRSTA_VOZILA"))->text().trimmed(),
            Box(QStringLiteral("MARKA"))->text().trimmed(),
            Box(QStringLiteral("MODEL"))->text().trimmed(),
            Box(QStringLiteral("BROJ_SASIJE"))->text().trimmed(),
            Box(QStringLiteral("BROJ_MOTORA"))->text().trimmed(),
            year ? std::optional<int>(static_cast<int>(*year)) : std::nullopt,
            Box(QStringLiteral("BOJA"))->text().trimmed(),
            Box(QStringLiteral("NAPOMENA"))->text().trimmed()};
        articles::SaveVehicle(m_host.CurrentSession().Db(), m_article, vehicle);
    });
}

}  // namespace zodra::registers::ui
