#include "ui/WindowTools.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTextEdit>
#include <algorithm>
#include <map>

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

namespace {

bool TakesTabFocus(const QWidget* w, const QWidget* window) {
    return (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
           !w->focusProxy();
}

bool IsInputField(const QWidget* w) {
    if (auto* line = qobject_cast<const QLineEdit*>(w)) {
        return !line->isReadOnly();
    }
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w)) {
        return !text->isReadOnly();
    }
    if (auto* rich = qobject_cast<const QTextEdit*>(w)) {
        return !rich->isReadOnly();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->isCheckable() && !qobject_cast<const QPushButton*>(w);
    }
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// The widgets of a window in its tab order.
QList<QWidget*> TabOrder(QWidget* window) {
    // The focus chain runs through the whole top-level window; the window's own widgets are
    // the part of it below the window.
    QList<QWidget*> order;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (window->isAncestorOf(w)) {
            order.append(w);
        }
    }
    return order;
}

}  // namespace

void FocusFirstField(QWidget* window) {
    QWidget* chosen = window->focusWidget();
    if (chosen && chosen != window && window->isAncestorOf(chosen) && chosen->isVisibleTo(window) &&
        chosen->isEnabled()) {
        chosen->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QList<QWidget*> order = TabOrder(window);
    for (QWidget* w : order) {
        if (TakesTabFocus(w, window) && IsInputField(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    for (QWidget* w : order) {
        if (TakesTabFocus(w, window)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    window->setFocus();
}

std::optional<QChar> MnemonicOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) {
            continue;
        }
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;  // "&&" is a plain ampersand
            continue;
        }
        return caption[i + 1].toLower();
    }
    return std::nullopt;
}

namespace {

void Collect(const QWidget* w, const QWidget* window, QList<Mnemonic>& found) {
    auto add = [&found](const QString& caption) {
        if (const auto letter = MnemonicOf(caption)) {
            found.append({*letter, caption});
        }
    };
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        add(button->text());
    } else if (auto* label = qobject_cast<const QLabel*>(w); label && label->buddy()) {
        add(label->text());
    } else if (auto* group = qobject_cast<const QGroupBox*>(w)) {
        add(group->title());
    } else if (auto* tabs = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i)) {
                add(tabs->tabText(i));
            }
        }
    } else if (auto* menus = qobject_cast<const QMenuBar*>(w)) {
        for (const QAction* action : menus->actions()) {
            if (action->isVisible()) {
                add(action->text());
            }
        }
    }
    for (const QObject* child : w->children()) {
        auto* cw = qobject_cast<const QWidget*>(child);
        if (!cw || cw->isWindow() || !cw->isVisibleTo(window)) {
            continue;
        }
        // Of the window area only the active window answers the Alt keys.
        if (auto* sub = qobject_cast<const QMdiSubWindow*>(cw);
            sub && sub->mdiArea() && sub->mdiArea()->activeSubWindow() != sub) {
            continue;
        }
        Collect(cw, window, found);
    }
}

}  // namespace

namespace {

// A widget whose caption carries a mnemonic, with the means to move it.
struct Carrier {
    QWidget* widget;
    QString caption;
};

QString CaptionOf(const QWidget* w) {
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (auto* label = qobject_cast<const QLabel*>(w); label && label->buddy()) {
        return label->text();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(w)) {
        return group->title();
    }
    return QString();
}

void SetCaption(QWidget* w, const QString& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(caption);
    }
}

void Carriers(QWidget* w, const QWidget* window, QList<Carrier>& found, QList<Mnemonic>& fixed) {
    if (w != window || !w->isWindow()) {
        const QString caption = CaptionOf(w);
        if (MnemonicOf(caption)) {
            found.append({w, caption});
        }
    }
    // Tabs and menu bars keep their letters; the captions around them give way.
    if (auto* tabs = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (const auto letter = MnemonicOf(tabs->tabText(i))) {
                fixed.append({*letter, tabs->tabText(i)});
            }
        }
    }
    for (QObject* child : w->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (!cw || cw->isWindow() || !cw->isVisibleTo(window)) {
            continue;
        }
        Carriers(cw, window, found, fixed);
    }
}

// The caption with its "&" before the first letter not in `used`; without one when none is
// free.
QString MovedMnemonic(const QString& caption, const QSet<QChar>& used) {
    QString plain;
    int old = -1;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            if (caption[i + 1] == QLatin1Char('&')) {
                plain += QStringLiteral("&&");
                ++i;
                continue;
            }
            if (old < 0) {
                old = static_cast<int>(plain.size());
                continue;
            }
        }
        plain += caption[i];
    }
    for (int i = 0; i < plain.size(); ++i) {
        if (plain[i] == QLatin1Char('&')) {
            ++i;  // an escaped ampersand
            continue;
        }
        if (plain[i].isLetterOrNumber() && !used.contains(plain[i].toLower())) {
            return plain.left(i) + QLatin1Char('&') + plain.mid(i);
        }
    }
    return plain;
}

bool KeepsItsLetter(const Carrier& c) {
    static const QStringList standard{QStringLiteral("Zatvori"), QStringLiteral("Prihvati"),
                                      QStringLiteral("Odustani")};
    QString plain = c.caption;
    plain.remove(QLatin1Char('&'));
    return standard.contains(c.widget->objectName()) || standard.contains(plain);
}

}  // namespace

void ResolveMnemonicClashes(QWidget* window, const QList<Mnemonic>& reserved) {
    QList<Carrier> carriers;
    QList<Mnemonic> fixed = reserved;
    Carriers(window, window, carriers, fixed);
    QSet<QChar> used;
    for (const Mnemonic& m : fixed) {
        used.insert(m.letter);
    }
    // The closing and accepting buttons first: their letters are the same in every window.
    std::stable_partition(carriers.begin(), carriers.end(), KeepsItsLetter);
    // Every caption whose letter is still free keeps it (the first of those that share one);
    // only then do the others move, so that a moved one never takes a letter that another
    // caption already carries.
    QList<Carrier> moving;
    for (const Carrier& c : carriers) {
        const QChar letter = *MnemonicOf(c.caption);
        if (used.contains(letter)) {
            moving.append(c);
        } else {
            used.insert(letter);
        }
    }
    for (const Carrier& c : moving) {
        const QString moved = MovedMnemonic(c.caption, used);
        SetCaption(c.widget, moved);
        if (const auto now = MnemonicOf(moved)) {
            used.insert(*now);
        }
    }
}

QList<Mnemonic> Mnemonics(const QWidget* window) {
    QList<Mnemonic> found;
    Collect(window, window, found);
    return found;
}

QStringList MnemonicClashes(const QList<Mnemonic>& mnemonics) {
    std::map<QChar, QStringList> byLetter;
    for (const Mnemonic& m : mnemonics) {
        byLetter[m.letter].append(m.caption);
    }
    QStringList clashes;
    for (const auto& [letter, captions] : byLetter) {
        if (captions.size() > 1) {
            clashes << QStringLiteral("Alt+%1: %2")
                           .arg(QString(letter).toUpper(), captions.join(QStringLiteral(", ")));
        }
    }
    return clashes;
}

QStringList MnemonicClashes(const QWidget* window) {
    return MnemonicClashes(Mnemonics(window));
}

}  // namespace zodra::ui
