#pragma once

#include <QPrinter>
#include <QWidget>

#include "reports/ReportEngine.h"

class QLabel;
class QPrintPreviewWidget;
class QSpinBox;

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

namespace zodra::reports::ui {

// The report window "Izvještaj", captioned with the report's title: the pages as they will
// print, at the workstation's "Report Zoom", with page navigation (PgUp/PgDn, Home/End),
// zoom (Ctrl++ / Ctrl+-), printing (Ctrl+P, the print dialog of the system's printers),
// saving as PDF (Ctrl+S) and as a CSV table for spreadsheets (Ctrl+E). The engine is run again
// for the printer and the files, from the same request, so what is printed is what was
// previewed.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    ReportWindow(Database& db, Prompter& prompter, ReportRequest request, int zoomPercent,
                 QWidget* parent = nullptr);

    // Lays the pages out. Returns false, after the message was shown, when the report could
    // not be made (the window is then not to be shown).
    bool Render();

    int PageCount() const;
    int CurrentPage() const;
    void GoToPage(int page);
    // Page 1 with its top in view, where a report opens.
    void ShowFirstPageTop();
    int ZoomPercent() const;
    void SetZoomPercent(int percent);
    const ReportRequest& Request() const { return m_request; }

    // Asks for a file and writes the report there as PDF; false when cancelled or refused.
    bool SaveAsPdf();
    // Writes the report to a PDF file without asking; false (message shown) when refused.
    bool WritePdf(const QString& path);
    // Asks for a file and writes the report there as a table (";" between the values, the
    // decimal comma), for spreadsheets; false when cancelled or refused.
    bool SaveAsCsv();
    bool WriteCsv(const QString& path);
    // The print dialog, then the printer.
    void Print();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Paint(QPrinter* printer);
    void UpdatePageLabel();

    Database& m_db;
    Prompter& m_prompter;
    ReportRequest m_request;
    QPrinter m_printer;
    QPrintPreviewWidget* m_preview = nullptr;
    QLabel* m_pageLabel = nullptr;
    QSpinBox* m_zoom = nullptr;
    bool m_fitted = false;  // the page fitted by "Cijela stranica" / "Širina stranice"
    QString m_error;
    bool m_shown = false;
};

}  // namespace zodra::reports::ui
