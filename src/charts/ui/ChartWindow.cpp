#include "charts/ui/ChartWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "data/Paths.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::charts::ui {

namespace {

constexpr ChartKind kKinds[] = {ChartKind::SalesByMonth,    ChartKind::SalesByGroup,
                                ChartKind::SalesByCustomer, ChartKind::TopArticles,
                                ChartKind::TopCustomers,    ChartKind::StockValueByMonth};
constexpr Measure kMeasures[] = {Measure::Quantity, Measure::Margin, Measure::Turnover};

// The bars of a month chart, the line of the stock value, the horizontal bars of a ranking
// (the first point on top).
QChart* MakeChart(const ChartRequest& request, const Series& series) {
    auto* chart = new QChart;
    chart->setTitle(series.title);
    chart->legend()->hide();
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::Croatian, QLocale::Croatia));
    QStringList labels;
    double low = 0;
    double high = 0;
    for (const Point& p : series.points) {
        labels << p.label;
        low = std::min(low, p.value);
        high = std::max(high, p.value);
    }
    if (high == low) {
        high = low + 1;  // an axis of an empty or all-zero chart still has a span
    }
    auto* values = new QValueAxis;
    values->setRange(low, high * 1.05);
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setTitleText(series.valueCaption);
    values->applyNiceNumbers();
    auto* categories = new QBarCategoryAxis;

    const bool monthly =
        request.kind == ChartKind::SalesByMonth || request.kind == ChartKind::StockValueByMonth;
    if (request.kind == ChartKind::StockValueByMonth) {
        auto* line = new QLineSeries;
        for (std::size_t i = 0; i < series.points.size(); ++i) {
            line->append(static_cast<double>(i), series.points[i].value);
        }
        line->setPointsVisible(true);
        chart->addSeries(line);
        categories->append(labels);
        chart->addAxis(categories, Qt::AlignBottom);
        chart->addAxis(values, Qt::AlignLeft);
        line->attachAxis(values);
        // A line is placed by its x values; the category axis names them.
        auto* x = new QValueAxis;
        x->setRange(-0.5, static_cast<double>(series.points.size()) - 0.5);
        x->setVisible(false);
        chart->addAxis(x, Qt::AlignBottom);
        line->attachAxis(x);
        return chart;
    }
    auto* set = new QBarSet(series.valueCaption);
    if (monthly) {
        for (const Point& p : series.points) {
            *set << p.value;
        }
        auto* bars = new QBarSeries;
        bars->append(set);
        chart->addSeries(bars);
        categories->append(labels);
        chart->addAxis(categories, Qt::AlignBottom);
        chart->addAxis(values, Qt::AlignLeft);
        bars->attachAxis(categories);
        bars->attachAxis(values);
        return chart;
    }
    QStringList reversed;
    for (auto it = series.points.rbegin(); it != series.points.rend(); ++it) {
        *set << it->value;
        reversed << it->label;
    }
    auto* bars = new QHorizontalBarSeries;
    bars->append(set);
    chart->addSeries(bars);
    categories->append(reversed);
    chart->addAxis(categories, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    bars->attachAxis(categories);
    bars->attachAxis(values);
    return chart;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

ChartWindow::ChartWindow(zodra::ui::WindowHost& host, const ChartRequest& request, QWidget* parent)
    : QWidget(parent), m_host(host), m_request(request) {
    setObjectName(ObjectName());
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("Grafikon"));
    for (const ChartKind kind : kKinds) {
        m_kind->addItem(KindCaption(kind));
    }
    m_measure = new QComboBox(this);
    m_measure->setObjectName(QStringLiteral("Mjera"));
    for (const Measure measure : kMeasures) {
        m_measure->addItem(MeasureCaption(measure));
    }
    m_limit = new QSpinBox(this);
    m_limit->setObjectName(QStringLiteral("Broj"));
    m_limit->setRange(1, 50);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Napomena"));
    m_view = new QChartView(this);
    m_view->setObjectName(QStringLiteral("Slika"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(720, 420);
    m_save = new QPushButton(QStringLiteral("Spremi &PNG"), this);
    m_save->setObjectName(QStringLiteral("SpremiPNG"));
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    closeButton->setObjectName(QStringLiteral("Zatvori"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(Caption(QStringLiteral("&Grafikon :"), m_kind, this));
    choices->addWidget(m_kind, 1);
    choices->addWidget(Caption(QStringLiteral("&Mjera :"), m_measure, this));
    choices->addWidget(m_measure);
    choices->addWidget(Caption(QStringLiteral("&Broj :"), m_limit, this));
    choices->addWidget(m_limit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_note, 1);
    buttons->addWidget(m_save);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_measure, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_limit, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_save, &QPushButton::clicked, this, [this] { SavePng(); });
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            QWidget::close();
        }
    });
    Show(request);
    m_kind->setFocus();
}

void ChartWindow::Show(const ChartRequest& request) {
    m_filling = true;
    m_kind->setCurrentIndex(static_cast<int>(
        std::find(std::begin(kKinds), std::end(kKinds), request.kind) - std::begin(kKinds)));
    m_measure->setCurrentIndex(
        static_cast<int>(std::find(std::begin(kMeasures), std::end(kMeasures), request.measure) -
                         std::begin(kMeasures)));
    m_limit->setValue(request.limit);
    m_filling = false;
    Refresh();
}

ChartRequest ChartWindow::ChosenRequest() const {
    ChartRequest request = m_request;
    request.kind = kKinds[std::clamp(m_kind->currentIndex(), 0, int(std::size(kKinds)) - 1)];
    request.measure =
        kMeasures[std::clamp(m_measure->currentIndex(), 0, int(std::size(kMeasures)) - 1)];
    request.limit = m_limit->value();
    return request;
}

void ChartWindow::Refresh() {
    if (m_filling) {
        return;
    }
    const ChartRequest request = ChosenRequest();
    m_measure->setEnabled(UsesMeasure(request.kind));
    m_limit->setEnabled(IsTopChart(request.kind));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_series = BuildChart(m_host.CurrentSession().Db(), request);
    });
    QGuiApplication::restoreOverrideCursor();
    if (!read) {
        m_series = Series{};
    }
    m_request = request;
    m_note->setText(m_series.empty ? QStringLiteral("Nema podataka za ") +
                                         QString::number(request.year) + QStringLiteral(". godinu.")
                                   : QString());
    QChart* old = m_view->chart();
    m_view->setChart(MakeChart(request, m_series));
    delete old;
}

bool ChartWindow::WritePng(const QString& path) {
    if (!m_view->isVisible()) {
        // Not laid out yet (a window drawn before it is shown): at least its smallest size.
        m_view->resize(m_view->size().expandedTo(m_view->minimumSize()));
    }
    const QPixmap picture = m_view->grab();
    if (picture.isNull() || !picture.save(path, "PNG")) {
        m_host.UserPrompter().Inform(
            QStringLiteral("Grafikon nije spremljen u datoteku ") + path + QLatin1Char('.'),
            QStringLiteral("Spremi PNG"));
        return false;
    }
    return true;
}

void ChartWindow::SavePng() {
    const QString path = m_host.UserPrompter().ChooseFileToSave(
        QStringLiteral("Spremanje grafikona u PNG datoteku"), QStringLiteral("PNG slike|*.png"),
        paths::UserDataFolder(), QStringLiteral("png"));
    if (path.isEmpty()) {
        return;
    }
    WritePng(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path);
}

}  // namespace zodra::charts::ui
