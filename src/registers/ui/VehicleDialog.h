#pragma once

#include <QDialog>

class QLineEdit;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::registers::ui {

// "Podaci" of an article that is a vehicle: kind, make, model, chassis and engine number, year
// of manufacture, colour and a note.
class VehicleDialog : public QDialog {
    Q_OBJECT
public:
    VehicleDialog(zodra::ui::WindowHost& host, int article, QWidget* parent = nullptr);
    // "Prihvati": saves; false (message shown) when the year is not a year.
    bool Accept();
    QLineEdit* Box(const QString& name) const;

private:
    zodra::ui::WindowHost& m_host;
    int m_article;
};

}  // namespace zodra::registers::ui
