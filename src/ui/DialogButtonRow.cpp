#include "ui/DialogButtonRow.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>

#include "ui/WindowTools.h"

namespace zodra::ui {

DialogButtonRow::DialogButtonRow(QWidget* window, Buttons buttons) : QWidget(window) {
    setObjectName(QStringLiteral("PrihvatiOdustani"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    m_accept = MakeButton(QStringLiteral("&Prihvati"), QStringLiteral("Prihvati"), this);
    layout->addWidget(m_accept);
    auto* dialog = qobject_cast<QDialog*>(window);
    if (dialog) {
        m_accept->setDefault(true);
    }
    if (buttons == Buttons::AcceptOnly) {
        return;
    }
    m_cancel = MakeButton(QStringLiteral("&Odustani"), QStringLiteral("Odustani"), this);
    layout->addWidget(m_cancel);
    if (buttons == Buttons::AcceptAndOwnCancel) {
        // the window connects the button itself
    } else if (dialog) {
        connect(m_cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    } else {
        connect(m_cancel, &QPushButton::clicked, window, [window] { CloseWindowFrame(window); });
    }
    // Esc is "Odustani" wherever the focus is in the window, so that a window that connects more
    // to the button (saving nothing, asking first) does the same on Esc.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, m_cancel, &QPushButton::click);
}

}  // namespace zodra::ui
