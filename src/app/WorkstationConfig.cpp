#include "app/WorkstationConfig.h"

#include <QFileInfo>
#include <map>

#include "data/Database.h"
#include "data/Errors.h"

namespace zodra::workstationconfig {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

bool AsBool(const QString& value, bool fallback) {
    if (value.isNull()) {
        return fallback;
    }
    return value.trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
           value.trimmed() == QLatin1String("1") || value.trimmed() == QLatin1String("-1");
}

int AsInt(const QString& value, int fallback) {
    bool ok = false;
    const int v = value.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

void EnsureFile(Database& db) {
    db.ExecRaw(
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"Konfiguracija\" (\"Naziv\" TEXT "
                       "PRIMARY KEY, \"Vrijednost\" TEXT)"));
}

}  // namespace

const std::vector<std::pair<QString, QString>>& Keys() {
    static const std::vector<std::pair<QString, QString>> keys = {
        {T(u"POS Printer"), T(u"False")},
        {T(u"POS Printer Port"), QString()},
        {T(u"POS Printer Settings"), QString()},
        {T(u"POS Printer Initialization Hex Code"), QString()},
        {T(u"POS Printer Line Pause"), T(u"0")},
        {T(u"POS Printer Line Feed Number"), T(u"5")},
        {T(u"POS Printer Paper Cut"), T(u"False")},
        {T(u"POS Printer Paper Cut Hex Code"), T(u"5")},
        {T(u"POS Printer Cash Drawer"), T(u"False")},
        {T(u"POS Printer Cash Drawer Hex Code"), T(u"5")},
        {T(u"POS Code Page"), T(u"437")},
        {T(u"POS Printer Code Page Select"), QString()},
        {T(u"POS Multi Window"), T(u"False")},
        {T(u"Customer Display"), T(u"False")},
        {T(u"Customer Display Port"), QString()},
        {T(u"Customer Display Settings"), QString()},
        {T(u"Debug Mode"), T(u"False")},
        {T(u"Report Zoom"), T(u"100")},
        {T(u"Otvaranje zadnje baze podataka"), T(u"False")},
        {T(u"Ispis računa"), T(u"True")},
        {T(u"Ispis računa-otpremnice"), T(u"False")},
        {T(u"Ispis otpremnice"), T(u"False")},
        {T(u"Planer - datoteka računa"), QString()},
        // Read by the e-invoice export itself (fiscal/ui/EInvoiceExport.cpp).
        {T(u"eRačun - mapa posrednika"), QString()},
    };
    return keys;
}

WorkstationSettings FromValues(const std::vector<std::pair<QString, QString>>& values) {
    std::map<QString, QString> v;
    for (const auto& [key, value] : values) {
        v[key] = value.isNull() ? QStringLiteral("") : value;
    }
    auto get = [&](const char16_t* key) -> QString {
        const auto it = v.find(T(key));
        return it == v.end() ? QString() : it->second;
    };
    WorkstationSettings s;
    s.posPrinter = AsBool(get(u"POS Printer"), false);
    s.posPrinterPort = get(u"POS Printer Port");
    s.posPrinterSettings = get(u"POS Printer Settings");
    s.posPrinterInitHex = get(u"POS Printer Initialization Hex Code");
    s.posPrinterLinePause = AsInt(get(u"POS Printer Line Pause"), 0);
    s.posPrinterLineFeeds = AsInt(get(u"POS Printer Line Feed Number"), 5);
    s.posPrinterPaperCut = AsBool(get(u"POS Printer Paper Cut"), false);
    const QString cut = get(u"POS Printer Paper Cut Hex Code");
    s.posPrinterPaperCutHex = cut.isNull() ? T(u"5") : cut;
    s.posPrinterCashDrawer = AsBool(get(u"POS Printer Cash Drawer"), false);
    const QString drawer = get(u"POS Printer Cash Drawer Hex Code");
    s.posPrinterCashDrawerHex = drawer.isNull() ? T(u"5") : drawer;
    s.posCodePage = AsInt(get(u"POS Code Page"), 437);
    s.posPrinterCodePageSelect = get(u"POS Printer Code Page Select");
    s.posMultiWindow = AsBool(get(u"POS Multi Window"), false);
    s.customerDisplay = AsBool(get(u"Customer Display"), false);
    s.customerDisplayPort = get(u"Customer Display Port");
    s.customerDisplaySettings = get(u"Customer Display Settings");
    s.debugMode = AsBool(get(u"Debug Mode"), false);
    s.reportZoom = AsInt(get(u"Report Zoom"), 100);
    s.openLastDatabase = AsBool(get(u"Otvaranje zadnje baze podataka"), false);
    s.printInvoice = AsBool(get(u"Ispis računa"), true);
    s.printInvoiceDeliveryNote = AsBool(get(u"Ispis računa-otpremnice"), false);
    s.printDeliveryNote = AsBool(get(u"Ispis otpremnice"), false);
    s.plannerBillPath = get(u"Planer - datoteka računa");
    return s;
}

std::vector<std::pair<QString, QString>> ReadAll(const QString& path) {
    std::vector<std::pair<QString, QString>> rows;
    auto db = Database::OpenRaw(path, true);
    EnsureFile(*db);
    Statement all =
        db->Prepare(QStringLiteral("SELECT \"Naziv\", \"Vrijednost\" FROM \"Konfiguracija\" "
                                   "ORDER BY ") +
                    sqldialect::InsertionOrder(db->Dialect(), QStringLiteral("\"Naziv\"")));
    all.Exec();
    while (all.Next()) {
        rows.emplace_back(all.Text(0), all.Text(1));
    }
    return rows;
}

WorkstationSettings Load(const QString& path) {
    const bool existed = QFileInfo::exists(path);
    {
        auto db = Database::OpenRaw(path, true);
        EnsureFile(*db);
        if (!existed) {
            db->ExecRaw(QStringLiteral("BEGIN"));
            for (const auto& [key, value] : Keys()) {
                db->Exec(sqldialect::InsertIgnoringDuplicates(
                             db->Dialect(), QStringLiteral("\"Konfiguracija\" (\"Naziv\", "
                                                           "\"Vrijednost\") VALUES (?, ?)")),
                         {key, value.isNull() ? QStringLiteral("") : value});
            }
            db->ExecRaw(QStringLiteral("COMMIT"));
        }
    }
    return FromValues(ReadAll(path));
}

void Write(const QString& path, const QString& key, const QString& value) {
    auto db = Database::OpenRaw(path, true);
    EnsureFile(*db);
    if (db->Exec(
            QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
            {value, key}) == 0) {
        db->Exec(QStringLiteral(
                     "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
                 {key, value});
    }
}

QString SerialDevice(const QString& portSetting) {
    const QString text = portSetting.trimmed();
    if (text.isEmpty()) {
        return QString();
    }
    if (text.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int number = text.mid(3).toInt(&ok);
        if (ok && number >= 1) {
            return QStringLiteral("/dev/ttyS%1").arg(number - 1);
        }
        return QString();
    }
    return text;
}

}  // namespace zodra::workstationconfig
