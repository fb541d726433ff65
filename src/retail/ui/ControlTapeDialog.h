#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::retail::ui {

// A text of receipts in a read-only monospace window.
class ReceiptTextWindow : public QDialog {
    Q_OBJECT
public:
    ReceiptTextWindow(const QString& caption, const QStringList& lines, QWidget* parent);
    QPlainTextEdit* Text() const { return m_text; }

private:
    QPlainTextEdit* m_text;
};

// frmKontrolnaTraka ("Kontrolna traka"): the retail receipts of one day, again, on the receipt
// printer ("Printer") or on the screen ("Ekran").
class ControlTapeDialog : public QDialog {
    Q_OBJECT
public:
    ControlTapeDialog(zodra::ui::WindowHost& host, QWidget* parent);
    QLineEdit* DateField() const { return m_date; }
    QCheckBox* SummedBox() const { return m_summed; }
    void Print();
    void Show();

private:
    // The day's receipts, or nothing after the refusal was shown.
    bool Lines(QStringList* lines);

    zodra::ui::WindowHost& m_host;
    QLineEdit* m_date;
    QCheckBox* m_summed;
};

// " Ispis maloprodajnih računa od - do": the receipts numbered from - to, on the printer or on
// the screen.
class ReceiptRangeDialog : public QDialog {
    Q_OBJECT
public:
    ReceiptRangeDialog(zodra::ui::WindowHost& host, QWidget* parent);
    zodra::ui::NumberBox* FromBox() const { return m_from; }
    zodra::ui::NumberBox* ToBox() const { return m_to; }
    void Print();
    void Show();

private:
    bool Lines(QStringList* lines);

    zodra::ui::WindowHost& m_host;
    zodra::ui::NumberBox* m_from;
    zodra::ui::NumberBox* m_to;
};

QString ControlTapeCaption();  // "Kontrolna traka"
QString RangeCaption();        // " Ispis maloprodajnih računa od - do"

}  // namespace zodra::retail::ui
