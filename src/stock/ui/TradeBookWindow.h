#pragma once

#include <QDate>
#include <QWidget>
#include <vector>

#include "stock/TradeBook.h"

class QLineEdit;
class QTableWidget;

namespace zodra::ui {
class WindowHost;
}

namespace zodra::stock::ui {

// "Trgovačka knjiga veleprodaje" / "Trgovačka knjiga maloprodaje": the entries of the active
// warehouse and business year dated "Od:" … "Do:" ("Prihvati"; an unreadable date gives
// "Početni datum nije ispravno upisan." or "Završni datum nije ispravno upisan."), with their
// running balance. "Upis" opens the direct entry and shows the book again; "Izvještaj" prints
// the range; Delete in the grid (or "Brisanje") asks "Želite li izbrisati stavku ?" (No is the
// default) and deletes a direct entry, the balances recomputed. The entry of a posted document
// goes only with its document: deleting it here is refused with a message.
class TradeBookWindow : public QWidget {
    Q_OBJECT
public:
    TradeBookWindow(zodra::ui::WindowHost& host, tradebook::Book book,
                    const QDate& today = QDate::currentDate(), QWidget* parent = nullptr);

    // The command that opens the window (its objectName) and its caption.
    static QString CommandName(tradebook::Book book);
    static QString Caption(tradebook::Book book);
    static QString FromInvalidMessage();  // "Početni datum nije ispravno upisan."
    static QString ToInvalidMessage();    // "Završni datum nije ispravno upisan."
    static QString DeleteQuestion();      // "Želite li izbrisati stavku ?"

    QLineEdit* FromBox() const { return m_from; }
    QLineEdit* ToBox() const { return m_to; }
    QTableWidget* Grid() const { return m_grid; }
    const std::vector<tradebook::StoredEntry>& Shown() const { return m_entries; }

    void Accept();          // "Prihvati"
    void AddEntry();        // "Upis"
    void Print();           // "Izvještaj"
    void DeleteSelected();  // "Brisanje", Delete in the grid
    // The RBR of the selected entry, or 0.
    int SelectedNumber() const;
    void SelectNumber(int number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ReadRange();
    void Fill();

    zodra::ui::WindowHost& m_host;
    tradebook::Book m_book;
    QDate m_today;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QTableWidget* m_grid = nullptr;
    QDate m_shownFrom;
    QDate m_shownTo;
    std::vector<tradebook::StoredEntry> m_entries;
};

}  // namespace zodra::stock::ui
