#pragma once

#include <QComboBox>
#include <functional>

namespace zodra::registers::ui {

// A choice box that reads its entries again whenever it opens, so that a row added meanwhile
// in another window (a new article group, a new price list) can be chosen at once.
class RefillingComboBox : public QComboBox {
public:
    RefillingComboBox(std::function<void()> refill, QWidget* parent)
        : QComboBox(parent), m_refill(std::move(refill)) {}
    void showPopup() override {
        if (m_refill) {
            m_refill();
        }
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_refill;
};

}  // namespace zodra::registers::ui
