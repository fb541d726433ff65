#pragma once

#include <QDialog>

#include "assets/FixedAssetEntry.h"

class QLineEdit;

namespace zodra::ui {
class NumberBox;
}

namespace zodra::assets::ui {

// "Upis dugotrajne imovine", modal: Rbr (the year's next number), name, document, purchase
// value, book value, group, rate, months, depreciation and year-end book value. The
// depreciation follows the figures as they are typed; the boxes are checked when they are
// left. "Prihvati" saves and closes; a refusal shows its message and keeps everything typed.
// Opened on a row of the list, it changes that row.
class FixedAssetEntryDialog : public QDialog {
    Q_OBJECT
public:
    FixedAssetEntryDialog(Database& db, int year, Prompter& prompter, QWidget* parent = nullptr);
    FixedAssetEntryDialog(Database& db, int year, Prompter& prompter, const FixedAsset& existing,
                          QWidget* parent = nullptr);

    QLineEdit* NumberField() const { return m_number; }
    QLineEdit* NameField() const { return m_name; }
    QLineEdit* DocumentField() const { return m_document; }
    zodra::ui::NumberBox* PurchaseValueField() const { return m_purchase; }
    zodra::ui::NumberBox* BookValueField() const { return m_book; }
    QLineEdit* GroupField() const { return m_group; }
    zodra::ui::NumberBox* RateField() const { return m_rate; }
    QLineEdit* MonthsField() const { return m_months; }
    zodra::ui::NumberBox* DepreciationField() const { return m_depreciation; }
    zodra::ui::NumberBox* YearEndField() const { return m_yearEnd; }
    int SavedNumber() const { return m_entry.asset.number; }

    // "Prihvati".
    void Accept();

private:
    void Build();
    void Collect();
    void ShowComputed();
    void ShowAll();
    bool MonthsLeft();
    void TextLeft(QLineEdit* box, bool (FixedAssetEntry::*check)());

    Prompter& m_prompter;
    FixedAssetEntry m_entry;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_document = nullptr;
    zodra::ui::NumberBox* m_purchase = nullptr;
    zodra::ui::NumberBox* m_book = nullptr;
    QLineEdit* m_group = nullptr;
    zodra::ui::NumberBox* m_rate = nullptr;
    QLineEdit* m_months = nullptr;
    zodra::ui::NumberBox* m_depreciation = nullptr;
    zodra::ui::NumberBox* m_yearEnd = nullptr;
};

}  // namespace zodra::assets::ui
