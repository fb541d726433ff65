#pragma once

#include <QString>
#include <QStringList>

namespace zodra {
class Prompter;
}

namespace zodra::sales::ui {

// Starting the user's mail program with a file attached (xdg-email), behind an interface so that
// a test sees the command line without a mail program being started.
class MailProgram {
public:
    virtual ~MailProgram() = default;
    // The program's path, or empty when the system has none.
    virtual QString Find() const = 0;
    // Starts it on its own (it outlives this program); false when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

// xdg-email found on the PATH, started with QProcess::startDetached.
class SystemMailProgram : public MailProgram {
public:
    QString Find() const override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
};

// The arguments that open a new message with the file attached:
// --subject SUBJECT --attach FILE.
QStringList MailArguments(const QString& subject, const QString& file);

// Opens a new message of the user's mail program with the PDF attached. Without a mail program,
// or when it cannot be started, the user is told where the PDF is:
// "Program za e-poštu (xdg-email) nije pronađen. Račun je spremljen u datoteku " + path + "." /
// "Program za e-poštu nije moguće pokrenuti. Račun je spremljen u datoteku " + path + ".".
// Returns whether the mail program was started.
bool SendByMail(MailProgram& mail, Prompter& prompter, const QString& subject, const QString& pdf);

}  // namespace zodra::sales::ui
