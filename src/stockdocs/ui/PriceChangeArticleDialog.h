#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QListWidget;

namespace zodra::ui {
class NumberBox;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::stockdocs::ui {

// "Izbor artikala za upis u izmjenu cijena" (frmIzborArtikalaIzmjene), behind "U postotku": the
// articles with stock, narrowed by "Grupa poreza :" and "Grupa artikala :", are marked (Space or
// a click; "Označi sve" marks every one shown), and their lots get their selling price, or with
// "u odnosu na nabavnu cijenu" their cost price, raised by "Postotak :" (negative lowers). The
// marks live in the dialog, not in the article register, so two workstations choosing at once
// do not mark each other's articles.
class PriceChangeArticleDialog : public QDialog {
    Q_OBJECT
public:
    PriceChangeArticleDialog(zodra::ui::WindowHost& host, QWidget* parent);

    int LinesWritten() const { return m_written; }

private:
    void Refill();
    void Apply();

    zodra::ui::WindowHost& m_host;
    QComboBox* m_taxGroup;
    QComboBox* m_articleGroup;
    QListWidget* m_articles;
    zodra::ui::NumberBox* m_percent;
    QCheckBox* m_fromCost;
    int m_written = 0;
};

}  // namespace zodra::stockdocs::ui
