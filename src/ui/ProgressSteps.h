#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace zodra::ui {

// A progress window for long work done in one go (a transfer, a year closing): shown at once,
// modal, without a cancel button (the work runs in one transaction and cannot stop halfway).
// Until the first step it runs as a busy bar; each step sets the bar and lets the window
// repaint. Closed when destroyed.
class ProgressSteps {
public:
    ProgressSteps(QWidget* parent, const QString& title, const QString& label);
    ~ProgressSteps();
    ProgressSteps(const ProgressSteps&) = delete;
    ProgressSteps& operator=(const ProgressSteps&) = delete;

    void Step(int done, int total);
    // A step of work that names itself: the label becomes `label` (a total of 0 runs the bar
    // busy until the next counted step).
    void Step(const QString& label, int done, int total);
    int Value() const;
    QString Label() const;
    int Maximum() const;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

}  // namespace zodra::ui
