#include "ui/ListKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace zodra::ui {

namespace {

class ListKeyFilter : public QObject {
public:
    ListKeyFilter(QWidget* grid, std::function<void()> onDelete, std::function<void()> onEnter)
        : QObject(grid), m_onDelete(std::move(onDelete)), m_onEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete && m_onDelete) {
                m_onDelete();
                return true;
            }
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_onEnter) {
                m_onEnter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onDelete;
    std::function<void()> m_onEnter;
};

}  // namespace

void OnListKeys(QWidget* grid, std::function<void()> onDelete, std::function<void()> onEnter) {
    grid->installEventFilter(new ListKeyFilter(grid, std::move(onDelete), std::move(onEnter)));
}

}  // namespace zodra::ui
