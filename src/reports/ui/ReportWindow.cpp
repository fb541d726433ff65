#include "reports/ui/ReportWindow.h"

#include <QAction>
#include <QFileInfo>
#include <QGraphicsView>
#include <QKeySequence>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "data/Paths.h"
#include "data/Prompter.h"
#include "ui/WindowTools.h"

namespace zodra::reports::ui {

ReportWindow::ReportWindow(Database& db, Prompter& prompter, ReportRequest request, int zoomPercent,
                           QWidget* parent)
    : QWidget(parent),
      m_db(db),
      m_prompter(prompter),
      m_request(std::move(request)),
      m_printer(QPrinter::HighResolution) {
    setWindowTitle(m_request.title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QToolBar(this);
    layout->addWidget(bar);

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    layout->addWidget(m_preview, 1);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportWindow::Paint);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &ReportWindow::UpdatePageLabel);

    bar->addAction(QStringLiteral("Ispis"), this, &ReportWindow::Print)
        ->setToolTip(QStringLiteral("Ispis na pisač (Ctrl+P)"));
    bar->addAction(QStringLiteral("Spremi PDF"), this, [this] { SaveAsPdf(); })
        ->setToolTip(QStringLiteral("Spremanje izvještaja u PDF datoteku (Ctrl+S)"));
    bar->addAction(QStringLiteral("Spremi CSV"), this, [this] { SaveAsCsv(); })
        ->setToolTip(QStringLiteral("Spremanje izvještaja kao tablice u CSV datoteku (Ctrl+E)"));
    bar->addSeparator();
    bar->addAction(QStringLiteral("|<"), this, [this] { GoToPage(1); })
        ->setToolTip(QStringLiteral("Prva stranica (Home)"));
    bar->addAction(QStringLiteral("<"), this, [this] { GoToPage(CurrentPage() - 1); })
        ->setToolTip(QStringLiteral("Prethodna stranica (PgUp)"));
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setMinimumWidth(130);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_pageLabel);
    bar->addAction(QStringLiteral(">"), this, [this] { GoToPage(CurrentPage() + 1); })
        ->setToolTip(QStringLiteral("Sljedeća stranica (PgDn)"));
    bar->addAction(QStringLiteral(">|"), this, [this] { GoToPage(PageCount()); })
        ->setToolTip(QStringLiteral("Zadnja stranica (End)"));
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral(" Povećanje: "), bar));
    m_zoom = new QSpinBox(bar);
    m_zoom->setRange(10, 400);
    m_zoom->setSingleStep(10);
    m_zoom->setSuffix(QStringLiteral(" %"));
    m_zoom->setValue(zoomPercent > 0 ? zoomPercent : 100);
    bar->addWidget(m_zoom);
    connect(m_zoom, &QSpinBox::valueChanged, this, [this](int value) {
        m_fitted = false;
        m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_preview->setZoomFactor(value / 100.0);
    });
    // A fitted page shows the zoom it came to (and follows the window's size while fitted),
    // without leaving the fitting mode.
    const auto showFittedZoom = [this] {
        if (!m_fitted || m_preview->zoomMode() == QPrintPreviewWidget::CustomZoom) {
            return;
        }
        const QSignalBlocker quiet(m_zoom);
        m_zoom->setValue(qRound(m_preview->zoomFactor() * 100.0));
    };
    auto* whole = bar->addAction(QStringLiteral("Cijela stranica"), this, [this, showFittedZoom] {
        m_fitted = true;
        m_preview->fitInView();
        showFittedZoom();
    });
    whole->setObjectName(QStringLiteral("CijelaStranica"));
    auto* width = bar->addAction(QStringLiteral("Širina stranice"), this, [this, showFittedZoom] {
        m_fitted = true;
        m_preview->fitToWidth();
        showFittedZoom();
    });
    width->setObjectName(QStringLiteral("SirinaStranice"));
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, showFittedZoom);
    bar->addSeparator();
    auto* close = zodra::ui::MakeButton(QStringLiteral("&Zatvori"), QStringLiteral("Zatvori"), bar);
    close->setToolTip(QStringLiteral("Zatvaranje pregleda (Esc)"));
    bar->addWidget(close);
    connect(close, &QPushButton::clicked, this, [this] { zodra::ui::CloseWindowFrame(this); });

    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { GoToPage(CurrentPage() + 1); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { GoToPage(CurrentPage() - 1); });
    shortcut(QKeySequence(Qt::Key_Home), [this] { GoToPage(1); });
    shortcut(QKeySequence(Qt::Key_End), [this] { GoToPage(PageCount()); });
    shortcut(QKeySequence::Print, [this] { Print(); });
    shortcut(QKeySequence::Save, [this] { SaveAsPdf(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { SaveAsCsv(); });
    shortcut(QKeySequence::ZoomIn, [this] { m_zoom->stepUp(); });
    shortcut(QKeySequence::ZoomOut, [this] { m_zoom->stepDown(); });
    shortcut(QKeySequence(Qt::Key_Escape), [close] { close->click(); });
    setFocusPolicy(Qt::StrongFocus);
}

void ReportWindow::Paint(QPrinter* printer) {
    // Called by the preview while it lays out its pages; an exception must not cross the
    // preview's code, so the failure is kept and reported by Render().
    try {
        ReportEngine(m_db).ToPrinter(m_request, *printer);
    } catch (const std::exception& e) {
        m_error = FailureText(e);
    }
}

bool ReportWindow::Render() {
    m_error.clear();
    try {
        ReportEngine(m_db).PreparePrinter(m_request, m_printer);
    } catch (const std::exception& e) {
        m_prompter.Inform(FailureText(e), m_request.title);
        return false;
    }
    m_preview->updatePreview();
    if (!m_error.isEmpty()) {
        m_prompter.Inform(m_error, m_request.title);
        return false;
    }
    m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_preview->setZoomFactor(m_zoom->value() / 100.0);
    ShowFirstPageTop();
    return true;
}

void ReportWindow::ShowFirstPageTop() {
    GoToPage(1);
    // The preview scrolls only when the page changes; page 1 may be current but scrolled away
    // (a zoom or a resize keeps the view's middle), so its top is brought into view here.
    if (auto* view = m_preview->findChild<QGraphicsView*>()) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
    }
    UpdatePageLabel();
}

void ReportWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // Once the window has its size (a maximised window of the window area gets it later).
        QTimer::singleShot(0, this, &ReportWindow::ShowFirstPageTop);
    }
}

int ReportWindow::PageCount() const {
    return m_preview->pageCount();
}

int ReportWindow::CurrentPage() const {
    return m_preview->currentPage();
}

void ReportWindow::GoToPage(int page) {
    if (page >= 1 && page <= PageCount()) {
        m_preview->setCurrentPage(page);
        UpdatePageLabel();
    }
}

int ReportWindow::ZoomPercent() const {
    return m_zoom->value();
}

void ReportWindow::SetZoomPercent(int percent) {
    m_zoom->setValue(percent);
}

void ReportWindow::UpdatePageLabel() {
    m_pageLabel->setText(QStringLiteral("Stranica %1 od %2").arg(CurrentPage()).arg(PageCount()));
}

bool ReportWindow::WritePdf(const QString& path) {
    try {
        ReportEngine(m_db).ToPdf(m_request, path);
        return true;
    } catch (const std::exception& e) {
        m_prompter.Inform(FailureText(e), m_request.title);
        return false;
    }
}

bool ReportWindow::SaveAsPdf() {
    const QString path = m_prompter.ChooseFileToSave(
        QStringLiteral("Spremanje izvještaja u PDF datoteku"), QStringLiteral("PDF datoteke|*.pdf"),
        paths::UserDataFolder(), QStringLiteral("pdf"));
    if (path.isEmpty()) {
        return false;
    }
    return WritePdf(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".pdf") : path);
}

bool ReportWindow::WriteCsv(const QString& path) {
    try {
        ReportEngine(m_db).ToCsv(m_request, path);
        return true;
    } catch (const std::exception& e) {
        m_prompter.Inform(FailureText(e), m_request.title);
        return false;
    }
}

bool ReportWindow::SaveAsCsv() {
    const QString path = m_prompter.ChooseFileToSave(
        QStringLiteral("Spremanje izvještaja u CSV datoteku"), QStringLiteral("CSV datoteke|*.csv"),
        paths::UserDataFolder(), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return false;
    }
    return WriteCsv(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".csv") : path);
}

void ReportWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    try {
        ReportEngine engine(m_db);
        engine.PreparePrinter(m_request, printer);
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Ispis: ") + m_request.title);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        engine.ToPrinter(m_request, printer);
    } catch (const std::exception& e) {
        m_prompter.Inform(FailureText(e), m_request.title);
    }
}

}  // namespace zodra::reports::ui
