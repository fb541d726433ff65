#include "ui/WindowTools.h"

#include <QFontMetrics>
#include <QLayout>
#include <QMdiArea>
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

void FitWindowFrame(QWidget* window, QSize atLeast) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!frame) {
        window->resize(window->sizeHint().expandedTo(window->size()).expandedTo(atLeast));
        return;
    }
    if (QLayout* layout = window->layout()) {
        layout->activate();
    }
    const QSize border = frame->size() - window->size();
    QSize wanted = window->sizeHint()
                       .expandedTo(window->minimumSizeHint())
                       .expandedTo(window->size())
                       .expandedTo(atLeast) +
                   border;
    QMdiArea* area = frame->mdiArea();
    if (!area) {
        frame->resize(wanted);
        return;
    }
    const QSize room = area->viewport()->size();
    wanted = wanted.boundedTo(room);
    QRect geometry(frame->pos(), wanted.expandedTo(frame->size().boundedTo(room)));
    geometry.moveLeft(qBound(0, geometry.x(), qMax(0, room.width() - geometry.width())));
    geometry.moveTop(qBound(0, geometry.y(), qMax(0, room.height() - geometry.height())));
    frame->setGeometry(geometry);
}

void FitTitle(QWidget* window) {
    const QFontMetrics metrics(window->font());
    // The frame's icon and its minimise, maximise and close buttons take about eight average
    // characters each side of the title.
    const int needed =
        metrics.horizontalAdvance(window->windowTitle()) + 16 * metrics.averageCharWidth();
    window->setMinimumWidth(qMax(window->minimumWidth(), needed));
}

QPushButton* MakeCloseButton(QWidget* window) {
    auto* b = MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), window);
    QObject::connect(b, &QPushButton::clicked, window, [window] { CloseWindowFrame(window); });
    return b;
}

}  // namespace zodra::ui
