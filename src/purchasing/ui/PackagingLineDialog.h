#pragma once

#include <QDialog>

class QComboBox;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::purchasing::ui {

// "Ambalaža" of the receipt window: a packaging line typed by hand, the packaging and its
// quantity; it joins the receipt's line of that packaging.
class PackagingLineDialog : public QDialog {
    Q_OBJECT
public:
    explicit PackagingLineDialog(zodra::ui::WindowHost& host, QWidget* parent = nullptr);

    // The packaging chosen (0: none) and the quantity typed.
    int Packaging() const;
    double Quantity() const;
    QComboBox* PackagingBox() const { return m_packaging; }
    zodra::ui::NumberBox* QuantityBox() const { return m_quantity; }

private:
    zodra::ui::WindowHost& m_host;
    QComboBox* m_packaging;
    zodra::ui::NumberBox* m_quantity;
};

}  // namespace zodra::purchasing::ui
