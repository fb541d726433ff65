#pragma once

#include <QDialog>
#include <QStringList>

namespace zodra::ui {

// "Zodra za Windows - Verzija " + major.minor.revision.
QString VersionCaption();
// The lines of kontakt.txt in the program folder (empty when there is none).
QStringList ContactLines();

// The card shown by the splash window and "O programu": the logo from the program folder, the
// version caption and, when kontakt.txt exists, its lines under "Kontakt:".
QWidget* MakeProgramCard(QWidget* parent);

// "O programu".
class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace zodra::ui
