#include "ui/QtPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>

namespace zodra::ui {

namespace {

// A message without a title of its own is titled by the window it comes from: the dialog in
// front, else the active window of the window area; outside every window, "Zodra". So a
// window's refusals and its own messages carry one title.
QString TitleOr(const QString& title, QWidget* parent) {
    if (!title.isEmpty()) {
        return title;
    }
    if (auto* dialog = qobject_cast<QDialog*>(parent); dialog && !dialog->windowTitle().isEmpty()) {
        return dialog->windowTitle();
    }
    if (parent) {
        if (auto* area = parent->findChild<QMdiArea*>()) {
            if (QMdiSubWindow* sub = area->activeSubWindow();
                sub && sub->widget() && !sub->widget()->windowTitle().isEmpty()) {
                return sub->widget()->windowTitle();
            }
        }
    }
    return QStringLiteral("Zodra");
}

}  // namespace

QWidget* QtPrompter::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    return m_parent;
}

bool QtPrompter::AskYesNo(const QString& text, const QString& title, bool defaultYes) {
    QMessageBox box(QMessageBox::Question, TitleOr(title, Parent()), text, QMessageBox::NoButton,
                    Parent());
    QPushButton* yes = box.addButton(QStringLiteral("&Da"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtPrompter::Inform(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Information, TitleOr(title, Parent()), text, QMessageBox::NoButton,
                    Parent());
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

std::optional<QString> QtPrompter::AskLine(const QString& text, const QString& title,
                                           const QString& preset, bool password) {
    QInputDialog dialog(Parent());
    dialog.setWindowTitle(TitleOr(title, Parent()));
    dialog.setLabelText(text);
    dialog.setTextValue(preset);
    dialog.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Odustani"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtPrompter::AskText(const QString& text, const QString& title,
                                           const QString& preset) {
    return AskLine(text, title, preset, false);
}

std::optional<QString> QtPrompter::AskPassword(const QString& text, const QString& title) {
    return AskLine(text, title, QString(), true);
}

QString QtPrompter::ToQtFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|'))) {
        return filter;
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return out.join(QStringLiteral(";;"));
}

QString QtPrompter::ChooseFileToOpen(const QString& title, const QString& filter,
                                     const QString& folder) {
    QFileDialog dialog(Parent(), title, folder, ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

QString QtPrompter::ChooseFileToSave(const QString& title, const QString& filter,
                                     const QString& folder, const QString& defaultSuffix) {
    QFileDialog dialog(Parent(), title, folder, ToQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    // Whether an existing file may be written is the caller's rule, with its own message.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

}  // namespace zodra::ui
