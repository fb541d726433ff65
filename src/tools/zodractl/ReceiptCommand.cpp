#include "app/WorkstationConfig.h"
#include "data/Paths.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/PosText.h"
#include "pos/ReceiptText.h"
#include "tools/zodractl/Commands.h"
#include "tools/zodractl/Terminal.h"

#include <QFile>
#include <QSaveFile>

namespace zodractl {

namespace {

const char* kReceiptUsage =
    "upotreba: zodractl receipt PUTANJA BROJ [--skladiste N] [--knjiga B] [--storno] "
    "[--out DATOTEKA]";

}  // namespace

int Receipt(const QStringList& args) {
    if (args.size() < 2) {
        Err(QString::fromUtf8(kReceiptUsage));
        return kUsage;
    }
    bool numberOk = false;
    const int number = args.at(1).toInt(&numberOk);
    int warehouse = 0;
    int book = 1;
    QString out;
    bool cancellation = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
        const QString& flag = args.at(i);
        if (flag == QLatin1String("--storno")) {
            cancellation = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            Err(QString::fromUtf8(kReceiptUsage));
            return kUsage;
        }
        const QString& value = args.at(++i);
        bool ok = true;
        if (flag == QLatin1String("--skladiste")) {
            warehouse = value.toInt(&ok);
        } else if (flag == QLatin1String("--knjiga")) {
            book = value.toInt(&ok);
        } else if (flag == QLatin1String("--out")) {
            out = value;
        } else {
            ok = false;
        }
        if (!ok) {
            Err(QString::fromUtf8(kReceiptUsage));
            return kUsage;
        }
    }
    if (!numberOk || number <= 0 || warehouse < 0 || book <= 0) {
        Err(QString::fromUtf8(kReceiptUsage));
        return kUsage;
    }
    bool refused = false;
    const int code = InSession(args.at(0), warehouse, [&](zodra::Session& session) {
        session.workstation = zodra::workstationconfig::Load(zodra::paths::WorkstationConfigFile());
        const zodra::pos::InvoiceKey key{session.activeWarehouse.code, book, session.businessYear,
                                         number};
        zodra::pos::ReceiptOptions options = zodra::pos::OptionsOf(session);
        options.cancellation = cancellation;
        const std::optional<zodra::Session::FiscalMarks> marks =
            zodra::pos::MarksOfReceipt(session, options, key);
        int qrAt = 0;
        const QStringList lines =
            zodra::pos::ReceiptLines(session.Db(), options, key, marks ? &*marks : nullptr, &qrAt);
        const QByteArray text = zodra::pos::EncodeReceipt(lines, session.workstation.posCodePage,
                                                          marks ? marks->qrText : QString(), qrAt);
        if (out.isEmpty()) {
            const QString error = zodra::pos::SendToPosPrinter(session.workstation, text);
            if (!error.isEmpty()) {
                Err(error);
                refused = true;
                return;
            }
            Out(QStringLiteral("Račun ") + QString::number(number) +
                QStringLiteral(" je poslan na POS printer."));
            return;
        }
        // The file gets what the printer would: initialisation, character table, text, cut.
        QString error;
        const std::optional<QList<QByteArray>> openings =
            zodra::pos::PrinterOpenings(session.workstation, text, &error);
        if (!openings) {
            Err(error);
            refused = true;
            return;
        }
        QSaveFile file(out);
        if (file.open(QIODevice::WriteOnly)) {
            for (const QByteArray& bytes : *openings) {
                file.write(bytes);
            }
        }
        if (!file.isOpen() || !file.commit()) {
            Err(QStringLiteral("Datoteku ") + out + QStringLiteral(" nije moguće zapisati (") +
                file.errorString() + QStringLiteral(")."));
            refused = true;
            return;
        }
        Out(QStringLiteral("Račun ") + QString::number(number) + QStringLiteral(" je zapisan u ") +
            out + QLatin1Char('.'));
    });
    return code == kOk && refused ? kRefused : code;
}

}  // namespace zodractl
