#pragma once

#include <QWidget>

#include "charts/ChartData.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::charts::ui {

// "Grafikon": one chart of the active warehouse and year, chosen with "Grafikon :" and "Mjera :"
// ("Broj :" for the best articles and customers), saved as a picture with "Spremi PNG".
class ChartWindow : public QWidget {
    Q_OBJECT
public:
    ChartWindow(zodra::ui::WindowHost& host, const ChartRequest& request,
                QWidget* parent = nullptr);

    static QString ObjectName() { return QStringLiteral("Grafikoni"); }

    // Shows the chart of the request (its warehouse and year kept as the window has them).
    void Show(const ChartRequest& request);
    // Writes the chart as it is shown into a PNG file; false (after saying why) when it cannot.
    bool WritePng(const QString& path);
    const Series& Shown() const { return m_series; }

private:
    void Refresh();
    void SavePng();
    ChartRequest ChosenRequest() const;

    zodra::ui::WindowHost& m_host;
    ChartRequest m_request;
    Series m_series;
    QComboBox* m_kind = nullptr;
    QComboBox* m_measure = nullptr;
    QSpinBox* m_limit = nullptr;
    QLabel* m_note = nullptr;
    QChartView* m_view = nullptr;
    QPushButton* m_save = nullptr;
    bool m_filling = false;
};

}  // namespace zodra::charts::ui
