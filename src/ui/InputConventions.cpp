#include "ui/InputConventions.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

const char* const kKeepEnter = "zodraKeepEnter";
const char* const kShortcutButton = "zodraShortcutButton";

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

// Buttons that Enter presses: push and tool buttons, not the check boxes and radio buttons,
// which are fields.
QAbstractButton* PressableButton(QWidget* w) {
    if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) {
        return static_cast<QAbstractButton*>(w);
    }
    return nullptr;
}

// Moves on as Tab does, and on again past the shortcut buttons. The walk is bounded by the
// focus chain: a window of nothing but shortcut buttons brings the focus back where it began.
void MoveToNextField(QWidget* from) {
    QWidget* start = from;
    QWidget* current = from;
    for (int step = 0; step < 64; ++step) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(current, &tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == current || now == start || !IsShortcutButton(now)) {
            return;
        }
        current = now;
    }
}

// A dialog that closes hands the keyboard back to the window it was opened over (not every
// window system activates it again by itself).
void GiveBackTheKeyboard(QWidget* dialog) {
    QWidget* parent = dialog->parentWidget();
    if (!parent) {
        return;
    }
    QPointer<QWidget> owner(parent->window());
    QPointer<QWidget> closed(dialog);
    QTimer::singleShot(0, owner, [owner, closed] {
        QWidget* active = QApplication::activeWindow();
        QWidget* modal = QApplication::activeModalWidget();
        if (owner && owner->isVisible() && (!active || active == closed.data()) &&
            (!modal || modal == owner)) {
            owner->activateWindow();
        }
    });
}

}  // namespace

bool InputConventions::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn && type != QEvent::Show &&
        type != QEvent::Hide) {
        return false;
    }
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) {
        return false;
    }
    if (type == QEvent::Hide) {
        if (w->isWindow() && qobject_cast<QDialog*>(w)) {
            GiveBackTheKeyboard(w);
        }
        return false;
    }
    if (InStandardDialog(w)) {
        return false;
    }
    if (type == QEvent::Show) {
        // A dialog's Alt keys get one meaning each as it appears.
        if (w->isWindow() && qobject_cast<QDialog*>(w)) {
            ResolveMnemonicClashes(w);
        }
        return false;
    }
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (!enter || mods != Qt::NoModifier) {
            return false;
        }
        if (KeepsEnter(w)) {
            // The field's own Enter (a code or a scanner's barcode and its Enter): it is the
            // field's alone. A line edit would pass the key on after its signal, and in a dialog
            // it would reach the default button too ("Prihvati" with no quantity yet).
            if (auto* line = qobject_cast<QLineEdit*>(w); line && !line->isReadOnly()) {
                QMetaObject::invokeMethod(line, "returnPressed");
                return true;
            }
            return false;
        }
        if (QAbstractButton* button = PressableButton(w)) {
            if (!button->isEnabled() || (qobject_cast<QPushButton*>(w) &&
                                         static_cast<QPushButton*>(w)->menu() != nullptr)) {
                return false;
            }
            button->click();
            return true;
        }
        if (!IsField(w)) {
            return false;
        }
        MoveToNextField(w);
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

void MarkShortcutButton(QWidget* button) {
    button->setProperty(kShortcutButton, true);
}

bool IsShortcutButton(const QWidget* widget) {
    return widget && widget->property(kShortcutButton).toBool();
}

}  // namespace zodra::ui
