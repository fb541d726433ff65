#include "pos/PosDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>

#include "data/Errors.h"
#include "data/Session.h"
#include "data/WorkstationSettings.h"
#include "pos/PosText.h"

namespace zodra::pos {

namespace {

QString Missing(const QString& path) {
    return QStringLiteral("Uređaj '") + path +
           QStringLiteral(
               "' ne postoji. Provjerite je li priključen i postavke uređaja u "
               "konfiguraciji programa.");
}
QString NotOpened(const QString& path, const QString& reason) {
    return QStringLiteral("Uređaj '") + path + QStringLiteral("' nije moguće otvoriti (") + reason +
           QStringLiteral(").");
}
QString Stalled(const QString& path) {
    return QStringLiteral("Uređaj '") + path +
           QStringLiteral("' ne prima podatke. Provjerite je li uključen.");
}

struct SerialSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "9600,n,8,1": baud rate, parity (n, e, o, m, s), data bits (5–8), stop bits (1, 1.5, 2).
std::optional<SerialSettings> ParseSerial(const QString& text) {
    SerialSettings s;
    if (text.trimmed().isEmpty()) {
        return s;
    }
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0) {
        return std::nullopt;
    }
    const QString parity = parts[1].trimmed().toLower();
    if (parity == QLatin1String("n")) {
        s.parity = QSerialPort::NoParity;
    } else if (parity == QLatin1String("e")) {
        s.parity = QSerialPort::EvenParity;
    } else if (parity == QLatin1String("o")) {
        s.parity = QSerialPort::OddParity;
    } else if (parity == QLatin1String("m")) {
        s.parity = QSerialPort::MarkParity;
    } else if (parity == QLatin1String("s")) {
        s.parity = QSerialPort::SpaceParity;
    } else {
        return std::nullopt;
    }
    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8) {
        return std::nullopt;
    }
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1")) {
        s.stopBits = QSerialPort::OneStop;
    } else if (stop == QLatin1String("1.5")) {
        s.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == QLatin1String("2")) {
        s.stopBits = QSerialPort::TwoStop;
    } else {
        return std::nullopt;
    }
    return s;
}

QString WriteSerial(const PosPort& port, const QList<QByteArray>& openings) {
    const std::optional<SerialSettings> s = ParseSerial(port.settings);
    if (!s) {
        return QStringLiteral("Neispravne postavke serijskog porta '") + port.settings +
               QStringLiteral("' (primjer: 9600,n,8,1).");
    }
    if (!QFileInfo::exists(port.target)) {
        return Missing(port.target);
    }
    for (const QByteArray& bytes : openings) {
        QSerialPort serial;
        serial.setPortName(port.target);
        if (!serial.open(QIODevice::WriteOnly)) {
            return NotOpened(port.target, serial.errorString());
        }
        if (!serial.setBaudRate(s->baud) || !serial.setParity(s->parity) ||
            !serial.setDataBits(s->dataBits) || !serial.setStopBits(s->stopBits) ||
            !serial.setFlowControl(QSerialPort::NoFlowControl)) {
            return NotOpened(port.target, serial.errorString());
        }
        qint64 written = serial.write(bytes);
        QElapsedTimer timer;
        timer.start();
        while (written == bytes.size() && serial.bytesToWrite() > 0 &&
               timer.elapsed() < kDeviceTimeoutMs) {
            if (!serial.waitForBytesWritten(static_cast<int>(kDeviceTimeoutMs - timer.elapsed()))) {
                break;
            }
        }
        if (written != bytes.size() || serial.bytesToWrite() > 0) {
            serial.clear(QSerialPort::Output);
            serial.close();
            return Stalled(port.target);
        }
        serial.close();
    }
    return {};
}

// A device file (a parallel or USB printer) written without blocking: the bytes it does not take
// within the timeout make the print fail.
QString WriteDeviceFile(const QString& path, const QList<QByteArray>& openings) {
    if (!QFileInfo::exists(path)) {
        return Missing(path);
    }
    const QByteArray native = QFile::encodeName(path);
    for (const QByteArray& bytes : openings) {
        const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            return NotOpened(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        QElapsedTimer timer;
        timer.start();
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                const QString reason = QString::fromLocal8Bit(std::strerror(errno));
                ::close(fd);
                return NotOpened(path, reason);
            }
            const qint64 left = kDeviceTimeoutMs - timer.elapsed();
            pollfd p{fd, POLLOUT, 0};
            if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) {
                ::close(fd);
                return Stalled(path);
            }
        }
        ::close(fd);
    }
    return {};
}

QString WriteQueue(const PosPort& port, const QList<QByteArray>& openings) {
    QTemporaryFile file;
    if (!file.open()) {
        return QStringLiteral("Nije moguće napisati privremenu datoteku ispisa (") +
               file.errorString() + QStringLiteral(").");
    }
    for (const QByteArray& bytes : openings) {
        file.write(bytes);
    }
    file.flush();
    QStringList args;
    if (port.kind == PosPort::Kind::Queue) {
        args << QStringLiteral("-d") << port.target;
    }
    args << QStringLiteral("-o") << QStringLiteral("raw") << file.fileName();
    QProcess lp;
    lp.start(QStringLiteral("lp"), args);
    if (!lp.waitForStarted(kDeviceTimeoutMs)) {
        return QStringLiteral("Naredba lp (CUPS) nije pokrenuta: ispis na pisač '") + port.target +
               QStringLiteral("' nije moguć.");
    }
    if (!lp.waitForFinished(10 * kDeviceTimeoutMs)) {
        lp.kill();
        lp.waitForFinished(kDeviceTimeoutMs);
        return QStringLiteral("Pisač '") + port.target + QStringLiteral("' ne odgovara.");
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        return QStringLiteral("Ispis na pisač '") + port.target + QStringLiteral("' nije uspio: ") +
               QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
    }
    return {};
}

bool IsTerminal(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return path.startsWith(QLatin1String("/dev/tty"));
    }
    const bool tty = ::isatty(fd) == 1;
    ::close(fd);
    return tty;
}

bool PrinterConfigured(const WorkstationSettings& s) {
    return s.posPrinter && !s.posPrinterPort.trimmed().isEmpty();
}

std::optional<QByteArray> SettingBytes(const QString& codes, const char16_t* key, QString* error) {
    const std::optional<QByteArray> bytes = HexBytes(codes);
    if (!bytes && error) {
        *error = QStringLiteral("Neispravan heksadecimalni kod '") + codes +
                 QStringLiteral("' u postavci \"") + QString::fromUtf16(key) +
                 QStringLiteral("\" (kodovi 00 do FF odvojeni razmakom).");
    }
    return bytes;
}

}  // namespace

std::optional<PosPort> ResolvePort(const QString& port, const QString& settings) {
    const QString name = port.trimmed();
    if (name.isEmpty()) {
        return std::nullopt;
    }
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]*):?$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(name);
    if (m.hasMatch()) {
        return PosPort{PosPort::Kind::Serial,
                       QStringLiteral("/dev/ttyS") + QString::number(m.captured(1).toInt() - 1),
                       settings};
    }
    if (name.startsWith(QLatin1Char('/'))) {
        return PosPort{IsTerminal(name) ? PosPort::Kind::Serial : PosPort::Kind::DeviceFile, name,
                       settings};
    }
    if (name.compare(QLatin1String("DefaultPrinter"), Qt::CaseInsensitive) == 0) {
        return PosPort{PosPort::Kind::DefaultQueue, name, {}};
    }
    return PosPort{PosPort::Kind::Queue, name, {}};
}

QString WriteToPort(const PosPort& port, const QList<QByteArray>& openings) {
    switch (port.kind) {
        case PosPort::Kind::Serial:
            return WriteSerial(port, openings);
        case PosPort::Kind::DeviceFile:
            return WriteDeviceFile(port.target, openings);
        case PosPort::Kind::Queue:
        case PosPort::Kind::DefaultQueue:
            return WriteQueue(port, openings);
    }
    return {};
}

QString NoPrinterText() {
    return QStringLiteral(
        "Ovaj ispis se može printati samo na POS printer. Postavite parametre POS printera u "
        "konfiguraciji programa.");
}

QString NoPrinterForTapeText() {
    return QStringLiteral(
        "Kontrolna traka se može printati samo na POS printer. Postavite parametre POS printera u "
        "konfiguraciji programa.");
}

std::optional<QList<QByteArray>> PrinterOpenings(const WorkstationSettings& s,
                                                 const QByteArray& text, QString* error) {
    std::optional<QByteArray> start =
        SettingBytes(s.posPrinterInitHex, u"POS Printer Initialization Hex Code", error);
    if (!start) {
        return std::nullopt;
    }
    bool selectOk = true;
    const std::optional<int> table =
        CodePageSelect(s.posPrinterCodePageSelect, s.posCodePage, &selectOk);
    if (!selectOk) {
        if (error) {
            *error = QStringLiteral("Neispravna postavka \"POS Printer Code Page Select\": '") +
                     s.posPrinterCodePageSelect +
                     QStringLiteral("' (prazno, NE ili broj od 0 do 255).");
        }
        return std::nullopt;
    }
    if (table) {
        start->append('\x1B').append('t').append(static_cast<char>(*table));
    }
    QList<QByteArray> openings;
    if (s.posPrinterLinePause <= 0) {
        openings << (*start + text);
    } else {
        if (!start->isEmpty()) {
            openings << *start;
        }
        qsizetype from = 0;
        while (from < text.size()) {
            qsizetype end = text.indexOf('\n', from);
            end = end < 0 ? text.size() : end + 1;
            openings << text.mid(from, end - from);
            from = end;
        }
    }
    if (s.posPrinterPaperCut) {
        const std::optional<QByteArray> cut =
            SettingBytes(s.posPrinterPaperCutHex, u"POS Printer Paper Cut Hex Code", error);
        if (!cut) {
            return std::nullopt;
        }
        if (!cut->isEmpty()) {
            openings << *cut;
        }
    }
    return openings;
}

QString SendToPosPrinter(const WorkstationSettings& settings, const QByteArray& text) {
    const std::optional<PosPort> port =
        ResolvePort(settings.posPrinterPort, settings.posPrinterSettings);
    if (!settings.posPrinter || !port) {
        return NoPrinterText();
    }
    QString error;
    const std::optional<QList<QByteArray>> openings = PrinterOpenings(settings, text, &error);
    if (!openings) {
        return error;
    }
    return WriteToPort(*port, *openings);
}

QString OpenCashDrawer(const WorkstationSettings& settings) {
    if (!settings.posPrinterCashDrawer) {
        return {};
    }
    const std::optional<PosPort> port =
        ResolvePort(settings.posPrinterPort, settings.posPrinterSettings);
    if (!port) {
        return NoPrinterText();
    }
    QString error;
    const std::optional<QByteArray> bytes =
        SettingBytes(settings.posPrinterCashDrawerHex, u"POS Printer Cash Drawer Hex Code", &error);
    if (!bytes) {
        return error;
    }
    return WriteToPort(*port, {*bytes});
}

QString ShowOnCustomerDisplay(const WorkstationSettings& settings, const QString& line1,
                              const QString& line2) {
    if (!settings.customerDisplay) {
        return {};
    }
    const std::optional<PosPort> port =
        ResolvePort(settings.customerDisplayPort, settings.customerDisplaySettings);
    if (!port || port->kind == PosPort::Kind::Queue || port->kind == PosPort::Kind::DefaultQueue) {
        return QStringLiteral(
            "Port displeja kupca nije ispravno postavljen (COM broj ili putanja uređaja). "
            "Postavite ga u konfiguraciji programa.");
    }
    QByteArray bytes("\x00\x0C", 2);
    bytes += MapPosText(line1.left(20).leftJustified(20, QLatin1Char(' ')), settings.posCodePage);
    bytes += MapPosText(line2.left(20).leftJustified(20, QLatin1Char(' ')), settings.posCodePage);
    return WriteToPort(*port, {bytes});
}

QString PrintLines(const WorkstationSettings& settings, const QStringList& lines,
                   const QString& refusal) {
    if (!PrinterConfigured(settings)) {
        return refusal;
    }
    return SendToPosPrinter(settings, EncodeLines(lines, settings.posCodePage));
}

QString PrintReceipt(Session& session, const InvoiceKey& key, bool openDrawer, bool cancellation) {
    ReceiptOptions options = OptionsOf(session);
    options.cancellation = cancellation;
    return PrintReceipt(session, key, options, openDrawer);
}

QString PrintReceipt(Session& session, const InvoiceKey& key, const ReceiptOptions& options,
                     bool openDrawer) {
    const WorkstationSettings& settings = session.workstation;
    if (!PrinterConfigured(settings)) {
        return NoPrinterText();
    }
    QStringList errors;
    if (openDrawer) {
        const QString drawer = OpenCashDrawer(settings);
        if (!drawer.isEmpty()) {
            errors << drawer;
        }
    }
    QByteArray text;
    try {
        const std::optional<Session::FiscalMarks> marks = MarksOfReceipt(session, options, key);
        int qrAt = 0;
        const QStringList lines =
            ReceiptLines(session.Db(), options, key, marks ? &*marks : nullptr, &qrAt);
        text = EncodeReceipt(lines, settings.posCodePage, marks ? marks->qrText : QString(), qrAt);
    } catch (const UserError& e) {
        errors << e.message();
        return errors.join(QLatin1Char('\n'));
    }
    const QString printed = SendToPosPrinter(settings, text);
    if (!printed.isEmpty()) {
        errors << printed;
    }
    const QString shown = ShowOnCustomerDisplay(settings, session.company.fixedExtraText, {});
    if (!shown.isEmpty()) {
        errors << shown;
    }
    return errors.join(QLatin1Char('\n'));
}

QStringList TestPrintLines(const WorkstationSettings& settings) {
    QStringList lines;
    lines << QStringLiteral("TEST POS PRINTERA") << QString(40, QLatin1Char('-'))
          << QStringLiteral("Kodna stranica: ") + QString::number(settings.posCodePage)
          << QStringLiteral("ŠĐČĆŽ šđčćž") << QStringLiteral("Port: ") + settings.posPrinterPort
          << QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))
          << QString(40, QLatin1Char('='));
    for (int i = 0; i < std::clamp(settings.posPrinterLineFeeds, 0, 99); ++i) {
        lines << QString();
    }
    return lines;
}

QString TestDevices(const WorkstationSettings& settings) {
    QStringList errors;
    const QString printed = PrintLines(settings, TestPrintLines(settings), NoPrinterText());
    if (!printed.isEmpty()) {
        errors << printed;
    }
    const QString shown = ShowOnCustomerDisplay(settings, QStringLiteral("Test displeja"),
                                                QStringLiteral("ŠĐČĆŽ šđčćž"));
    if (!shown.isEmpty()) {
        errors << shown;
    }
    return errors.join(QLatin1Char('\n'));
}

}  // namespace zodra::pos
