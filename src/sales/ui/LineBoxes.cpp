#include "sales/ui/LineBoxes.h"

#include <QComboBox>

#include "data/Prompter.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"

namespace zodra::sales::ui {

zodra::ui::NumberBox* MakeLineBox(Prompter& prompter, const QString& name, limits::NumberKind kind,
                                  const QString& what, QWidget* parent) {
    auto* box = new zodra::ui::NumberBox(prompter, parent);
    box->setObjectName(name);
    box->SetLimit(kind, what);
    return box;
}

zodra::ui::NumberBox* MakeQuantityBox(Prompter& prompter, QWidget* parent) {
    auto* box = MakeLineBox(prompter, QStringLiteral("Kolicina"), limits::NumberKind::Quantity,
                            QStringLiteral("Količina"), parent);
    box->SetInvalidMessage(
        QStringLiteral("Nije ispravno upisana količina. Vrijednost će biti postavljena na nulu."));
    return box;
}

int ChosenCode(const QComboBox* box) {
    const QVariant code = box->currentData();
    return code.isValid() && !code.isNull() ? code.toInt() : 0;
}

bool WriteLine(Prompter& prompter, const std::function<std::optional<AcceptedLine>()>& write) {
    std::optional<AcceptedLine> accepted;
    return zodra::ui::Guarded(prompter, [&] { accepted = write(); }) && accepted.has_value();
}

}  // namespace zodra::sales::ui
