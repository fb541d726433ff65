#include "sales/ui/InvoiceListMail.h"

#include <QProcess>
#include <QStandardPaths>

#include "data/Prompter.h"

namespace zodra::sales::ui {

namespace {

const QString kTitle = QStringLiteral("E-mail");

}  // namespace

QString SystemMailProgram::Find() const {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

bool SystemMailProgram::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QStringList MailArguments(const QString& subject, const QString& file) {
    return {QStringLiteral("--subject"), subject, QStringLiteral("--attach"), file};
}

bool SendByMail(MailProgram& mail, Prompter& prompter, const QString& subject, const QString& pdf) {
    const QString program = mail.Find();
    if (program.isEmpty()) {
        prompter.Inform(QStringLiteral("Program za e-poštu (xdg-email) nije pronađen. Račun je "
                                       "spremljen u datoteku ") +
                            pdf + QStringLiteral("."),
                        kTitle);
        return false;
    }
    if (!mail.StartDetached(program, MailArguments(subject, pdf))) {
        prompter.Inform(QStringLiteral("Program za e-poštu nije moguće pokrenuti. Račun je "
                                       "spremljen u datoteku ") +
                            pdf + QStringLiteral("."),
                        kTitle);
        return false;
    }
    return true;
}

}  // namespace zodra::sales::ui
