#include "ui/WindowTools.h"

#include <QMdiSubWindow>
#include <QPushButton>

namespace zodra::ui {

QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

void CloseWindowFrame(QWidget* window) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        frame->close();
    } else {
        window->close();
    }
}

QPushButton* MakeCloseButton(QWidget* window) {
    auto* b = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), window);
    QObject::connect(b, &QPushButton::clicked, window, [window] { CloseWindowFrame(window); });
    return b;
}

}  // namespace zodra::ui
