#pragma once

#include <QDialog>

class QComboBox;
class QListWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::stockdocs::ui {

// "Izjednačavanje cijena (kod FIFO na najveću cijenu) sa drugim skladištem"
// (frmIzjednacavanjeCijena), behind "Izjednači": the other warehouse ("Skladište :") and the
// article groups marked ("Grupe artikala :"); the lots of those groups take the highest selling
// price the other warehouse has for their article.
class PriceEqualisationDialog : public QDialog {
    Q_OBJECT
public:
    PriceEqualisationDialog(zodra::ui::WindowHost& host, QWidget* parent);

    int LinesWritten() const { return m_written; }

private:
    void Apply();

    zodra::ui::WindowHost& m_host;
    QComboBox* m_warehouse;
    QListWidget* m_groups;
    int m_written = 0;
};

}  // namespace zodra::stockdocs::ui
