#pragma once

#include <QDialog>
#include <vector>

class QListWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::sales::ui {

// "Djelatnici": the employees who did the work of a service line, ticked in the employee
// register (Space ticks the current one, Enter takes the ticks, Esc leaves them as they were).
class LineEmployeesDialog : public QDialog {
    Q_OBJECT
public:
    LineEmployeesDialog(zodra::ui::WindowHost& host, const std::vector<int>& chosen,
                        QWidget* parent = nullptr);

    std::vector<int> Chosen() const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
};

}  // namespace zodra::sales::ui
