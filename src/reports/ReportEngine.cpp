#include "reports/ReportEngine.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <functional>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Paths.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "reports/AmountInWords.h"
#include "reports/ReportDefinition.h"
#include "reports/ReportRenderer.h"

namespace zodra::reports {

const char16_t* const kReportAborted = u"Izrada izvještaja je prekinuta.";

namespace {

QString Aborted() {
    return QString::fromUtf16(kReportAborted);
}

// The reports print in DejaVu (it has every Croatian letter, and the PDF embeds it). Debian's
// fonts-dejavu-core puts it where fontconfig finds it; a copy in the program folder's "fonts"
// is used where it is missing.
void EnsureFonts() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throw UserError(Aborted() +
                        QStringLiteral("\nIzvještaji se izrađuju samo u programu s grafičkim "
                                       "sučeljem (QGuiApplication)."));
    }
    static bool checked = false;
    if (checked) {
        return;
    }
    checked = true;
    if (QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) {
        return;
    }
    for (const QString& folder : {paths::ProgramFolder() + QStringLiteral("/fonts"),
                                  QStringLiteral("/usr/share/fonts/truetype/dejavu")}) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList({QStringLiteral("DejaVu*.ttf")}, QDir::Files)) {
            QFontDatabase::addApplicationFont(dir.filePath(file));
        }
    }
}

std::map<QString, QVariant> CompanyRecord(Database& db, QImage& logo) {
    std::map<QString, QVariant> record;
    Statement s(db, QStringLiteral("SELECT * FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"));
    s.Exec();
    if (s.Next()) {
        for (int c = 0; c < s.ColumnCount(); ++c) {
            record[s.ColumnName(c).toCaseFolded()] = s.Value(c);
        }
    }
    const auto stored = record.find(QStringLiteral("logo"));
    if (stored != record.end() && !stored->second.toByteArray().isEmpty()) {
        logo = QImage::fromData(stored->second.toByteArray());
    }
    if (logo.isNull()) {
        const QString file = paths::ProgramFolder() + QStringLiteral("/logo.bmp");
        if (QFileInfo::exists(file)) {
            logo = QImage(file);
        }
    }
    record.erase(QStringLiteral("logo"));
    return record;
}

class PainterSurface final : public PageSurface {
public:
    PainterSurface(QPaintDevice* device, QPainter* painter, std::function<void()> newPage)
        : m_device(device), m_painter(painter), m_newPage(std::move(newPage)) {}
    QPaintDevice* Device() override { return m_device; }
    QPainter* Painter() override { return m_painter; }
    void NewPage() override {
        if (m_newPage) {
            m_newPage();
        }
    }

private:
    QPaintDevice* m_device;
    QPainter* m_painter;
    std::function<void()> m_newPage;
};

QPageLayout LayoutOf(const ReportDefinition& def) {
    return QPageLayout(def.page.size, def.page.orientation, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

}  // namespace

std::pair<QString, QString> ParseFormula(const QString& text) {
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        throw UserError(QStringLiteral("Formula \"") + text +
                        QStringLiteral("\" nije oblika IME= 'tekst'."));
    }
    const QString name = text.left(eq).trimmed();
    QString value = text.mid(eq + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) &&
        value.endsWith(QLatin1Char('\''))) {
        value = value.mid(1, value.size() - 2);
        value.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return {name, value};
}

std::map<QString, QVariant> SessionParameters(const Session& session) {
    return {{QStringLiteral("SESIJA"), session.sessionCode},
            {QStringLiteral("SKLADISTE"), session.activeWarehouse.code},
            {QStringLiteral("GODINA"), session.businessYear},
            {QStringLiteral("KORISNIK"), session.userName}};
}

QString FailureText(const std::exception& error) {
    if (const auto* user = dynamic_cast<const UserError*>(&error)) {
        return user->message();
    }
    if (const auto* db = dynamic_cast<const DbError*>(&error)) {
        return Aborted() + QLatin1Char('\n') + db->driverText();
    }
    return Aborted();
}

ReportEngine::ReportEngine(Database& db, QString reportFolder)
    : m_db(db), m_folder(std::move(reportFolder)) {}

QString ReportEngine::DefaultFolder() {
    return paths::ProgramFolder() + QStringLiteral("/reports");
}

QString ReportEngine::FindReportFile(const QString& name) const {
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        return name;
    }
    const QDir dir(m_folder);
    const QString folded = name.toCaseFolded();
    for (const QString& file : dir.entryList(QDir::Files)) {
        if (file.toCaseFolded() == folded) {
            return dir.filePath(file);
        }
    }
    return dir.filePath(name);
}

DefinitionSet ReportEngine::LoadDefinitions(const QString& reportFile) const {
    DefinitionSet set;
    set.main = ReportDefinition::Load(FindReportFile(reportFile));
    // Sub-reports may hold sub-reports of their own; each file is read once.
    std::vector<const ReportDefinition*> pending{&set.main};
    while (!pending.empty()) {
        const ReportDefinition* def = pending.back();
        pending.pop_back();
        std::vector<QString> names;
        const auto collect = [&names](const std::vector<Band>& bands) {
            for (const Band& band : bands) {
                for (const Element& el : band.elements) {
                    if (el.kind == Element::Kind::SubReport) {
                        names.push_back(el.subreport);
                    }
                }
            }
        };
        collect(def->reportHeader);
        collect(def->detail);
        collect(def->reportFooter);
        for (const Group& g : def->groups) {
            collect(g.headers);
            collect(g.footers);
        }
        for (const QString& name : names) {
            const QString key = name.toCaseFolded();
            if (set.subreports.count(key) ||
                key == QFileInfo(def->fileName).fileName().toCaseFolded()) {
                continue;
            }
            const auto it =
                set.subreports.emplace(key, ReportDefinition::Load(FindReportFile(name))).first;
            pending.push_back(&it->second);
        }
    }
    return set;
}

void ReportEngine::PreparePrinter(const ReportRequest& request, QPrinter& printer) {
    const ReportDefinition def = ReportDefinition::Load(FindReportFile(request.reportFile));
    printer.setFullPage(true);
    printer.setPageLayout(LayoutOf(def));
    printer.setDocName(request.title.isEmpty() ? def.title : request.title);
}

namespace {

RenderEnvironment MakeEnvironment(Database& db, const ReportRequest& request) {
    RenderEnvironment env;
    env.db = &db;
    for (const auto& [name, value] : request.formulas) {
        env.formulas[name.trimmed().toCaseFolded()] = value;
    }
    for (const auto& [name, value] : request.parameters) {
        env.parameters[name.toCaseFolded()] = value;
    }
    env.selection = request.selection;
    for (const auto& [name, selection] : request.subreportSelections) {
        env.subreportSelections[name.toCaseFolded()] = selection;
    }
    env.programQuery = request.query;
    env.company = CompanyRecord(db, env.logo);
    env.format = ValueFormat(HomeCurrencyName(db));
    env.printDate = QDate::currentDate();
    return env;
}

// Runs a render and turns database failures into the engine's message.
template <typename Fn>
int Guarded(Fn&& fn) {
    try {
        return fn();
    } catch (const UserError&) {
        throw;
    } catch (const std::exception& e) {
        throw UserError(FailureText(e));
    }
}

}  // namespace

int ReportEngine::ToPdf(const ReportRequest& request, const QString& pdfPath) {
    return Guarded([&] {
        EnsureFonts();
        const DefinitionSet definitions = LoadDefinitions(request.reportFile);
        RenderEnvironment env = MakeEnvironment(m_db, request);
        QSaveFile file(pdfPath);
        if (!file.open(QIODevice::WriteOnly)) {
            throw UserError(QStringLiteral("Datoteka ") + pdfPath +
                            QStringLiteral(" se ne može zapisati: ") + file.errorString());
        }
        QPdfWriter writer(&file);
        writer.setPageLayout(LayoutOf(definitions.main));
        writer.setTitle(request.title.isEmpty() ? definitions.main.title : request.title);
        writer.setCreator(QStringLiteral("Zodra"));
        int known = 0;
        if (definitions.UsesPageCount()) {
            PainterSurface counting(&writer, nullptr, nullptr);
            known = RenderReport(definitions, env, counting, 0);
        }
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw UserError(Aborted() + QStringLiteral("\nPDF se ne može započeti."));
        }
        PainterSurface surface(&writer, &painter, [&writer] { writer.newPage(); });
        int pages = 0;
        try {
            pages = RenderReport(definitions, env, surface, known);
        } catch (...) {
            painter.end();
            file.cancelWriting();
            throw;
        }
        painter.end();
        if (!file.commit()) {
            throw UserError(QStringLiteral("Datoteka ") + pdfPath +
                            QStringLiteral(" se ne može zapisati: ") + file.errorString());
        }
        return pages;
    });
}

namespace {

class CsvSink final : public TableSink {
public:
    explicit CsvSink(QChar separator) : m_separator(separator) {}
    void Header(const QStringList& columns) override {
        QVariantList cells;
        for (const QString& c : columns) {
            cells << c;
        }
        Line(cells, QList<int>(cells.size(), -1));
    }
    void Row(const QVariantList& cells, const QList<int>& decimals) override {
        Line(cells, decimals);
        ++rows;
    }
    QByteArray bytes;
    int rows = 0;

private:
    void Line(const QVariantList& cells, const QList<int>& decimals) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0) {
                line += m_separator;
            }
            line += CsvValue(cells.at(i), m_separator, i < decimals.size() ? decimals.at(i) : -1);
        }
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    QChar m_separator;
};

// A number as the data holds it, without the noise of binary fractions: at most ten decimals,
// trailing zeros dropped.
QString ExactNumber(double value, QChar separator) {
    QString text = QString::number(value, 'f', 10);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (text == QLatin1String("-0")) {
        text = QStringLiteral("0");
    }
    if (separator == QLatin1Char(';')) {
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return text;
}

}  // namespace

QString CsvValue(const QVariant& value, QChar separator, int decimals) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    QString text;
    const bool number = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float ||
                        value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
    if (number && decimals >= 0) {
        // As printed, without the grouping points a spreadsheet would misread.
        double rounded = RoundDecimal(value.toDouble(), decimals);
        if (rounded == 0.0) {
            rounded = 0.0;  // no "-0,00"
        }
        text = QString::number(rounded, 'f', decimals);
        if (separator == QLatin1Char(';')) {
            text.replace(QLatin1Char('.'), QLatin1Char(','));
        }
    } else
        switch (value.typeId()) {
            case QMetaType::Double:
            case QMetaType::Float:
                text = ExactNumber(value.toDouble(), separator);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
            case QMetaType::ULongLong:
                text = QString::number(value.toLongLong());
                break;
            case QMetaType::Bool:
                text = value.toBool() ? QStringLiteral("DA") : QStringLiteral("NE");
                break;
            case QMetaType::QDate:
                text = value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
                break;
            case QMetaType::QDateTime:
                text = value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
                break;
            default:
                text = value.toString();
        }
    if (text.contains(separator) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

int ReportEngine::ToCsv(const ReportRequest& request, const QString& csvPath, QChar separator) {
    return Guarded([&] {
        EnsureFonts();
        const DefinitionSet definitions = LoadDefinitions(request.reportFile);
        RenderEnvironment env = MakeEnvironment(m_db, request);
        CsvSink sink(separator);
        env.table = &sink;
        // The bands are laid out as for print (page breaks place the rows in the same order)
        // but nothing is painted.
        QBuffer scratch;
        scratch.open(QIODevice::WriteOnly);
        QPdfWriter writer(&scratch);
        writer.setPageLayout(LayoutOf(definitions.main));
        PainterSurface counting(&writer, nullptr, nullptr);
        RenderReport(definitions, env, counting, 0);
        QSaveFile file(csvPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(sink.bytes) != sink.bytes.size() ||
            !file.commit()) {
            throw UserError(QStringLiteral("Datoteka ") + csvPath +
                            QStringLiteral(" se ne može zapisati: ") + file.errorString());
        }
        return sink.rows;
    });
}

int ReportEngine::ToPrinter(const ReportRequest& request, QPrinter& printer) {
    return Guarded([&] {
        EnsureFonts();
        const DefinitionSet definitions = LoadDefinitions(request.reportFile);
        RenderEnvironment env = MakeEnvironment(m_db, request);
        printer.setFullPage(true);
        printer.setPageLayout(LayoutOf(definitions.main));
        if (printer.docName().isEmpty()) {
            printer.setDocName(request.title.isEmpty() ? definitions.main.title : request.title);
        }
        int known = 0;
        if (definitions.UsesPageCount()) {
            PainterSurface counting(&printer, nullptr, nullptr);
            known = RenderReport(definitions, env, counting, 0);
        }
        QPainter painter;
        if (!painter.begin(&printer)) {
            throw UserError(Aborted() + QStringLiteral("\nPisač se ne može otvoriti."));
        }
        PainterSurface surface(&printer, &painter, [&printer] { printer.newPage(); });
        int pages = 0;
        try {
            pages = RenderReport(definitions, env, surface, known);
        } catch (...) {
            printer.abort();
            painter.end();
            throw;
        }
        painter.end();
        return pages;
    });
}

}  // namespace zodra::reports
