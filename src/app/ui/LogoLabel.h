#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace zodra::ui {

// The logo picture of the main window; a double click opens "Administracija".
class LogoLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        Q_EMIT doubleClicked();
        event->accept();
    }
};

}  // namespace zodra::ui
