#pragma once

#include <QWidget>

namespace zodra::ui {

// The window of a command whose function is not part of this version yet: its caption and a
// sentence saying so. Each later version replaces it by the real window.
class PlaceholderWindow : public QWidget {
    Q_OBJECT
public:
    PlaceholderWindow(const QString& controlName, const QString& caption,
                      QWidget* parent = nullptr);
};

}  // namespace zodra::ui
