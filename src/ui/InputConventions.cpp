#include "ui/InputConventions.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>

namespace zodra::ui {

namespace {

const char* const kKeepEnter = "zodraKeepEnter";

bool InStandardDialog(const QWidget* w) {
    const QWidget* window = w->window();
    return qobject_cast<const QInputDialog*>(window) || qobject_cast<const QMessageBox*>(window) ||
           qobject_cast<const QFileDialog*>(window);
}

bool KeepsEnter(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (p->property(kKeepEnter).toBool()) {
            return true;
        }
        if (p->isWindow()) {
            break;
        }
    }
    return false;
}

// Fields in which Enter means "next field".
bool IsField(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

}  // namespace

bool InputConventions::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn) {
        return false;
    }
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || InStandardDialog(w)) {
        return false;
    }
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (!enter || mods != Qt::NoModifier || !IsField(w) || KeepsEnter(w)) {
            return false;
        }
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(w, &tab);
        return true;
    }
    // Focus in: select the whole text once the focus has settled (a mouse click that gave the
    // focus would otherwise place the cursor over the selection).
    if (auto* line = qobject_cast<QLineEdit*>(w); line && !line->isReadOnly()) {
        QTimer::singleShot(0, line, &QLineEdit::selectAll);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        QTimer::singleShot(0, spin, &QAbstractSpinBox::selectAll);
    }
    return false;
}

void InstallInputConventions(QApplication& app) {
    app.installEventFilter(new InputConventions(&app));
}

void KeepEnter(QWidget* field) {
    field->setProperty(kKeepEnter, true);
}

}  // namespace zodra::ui
