#include "ui/ProgressSteps.h"

#include <QApplication>
#include <QProgressDialog>

namespace zodra::ui {

ProgressSteps::ProgressSteps(QWidget* parent, const QString& title, const QString& label)
    : m_dialog(std::make_unique<QProgressDialog>(label, QString(), 0, 0, parent)) {
    m_dialog->setObjectName(QStringLiteral("Napredak"));
    m_dialog->setWindowTitle(title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setCancelButton(nullptr);
    m_dialog->setValue(0);
    m_dialog->show();
    QApplication::processEvents();
}

ProgressSteps::~ProgressSteps() {
    m_dialog->close();
}

void ProgressSteps::Step(int done, int total) {
    if (total > 0 && m_dialog->maximum() != total) {
        m_dialog->setRange(0, total);
    }
    m_dialog->setValue(done);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressSteps::Step(const QString& label, int done, int total) {
    m_dialog->setLabelText(label);
    if (total <= 0) {
        m_dialog->setRange(0, 0);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return;
    }
    Step(done, total);
}

QString ProgressSteps::Label() const {
    return m_dialog->labelText();
}

int ProgressSteps::Value() const {
    return m_dialog->value();
}

int ProgressSteps::Maximum() const {
    return m_dialog->maximum();
}

}  // namespace zodra::ui
