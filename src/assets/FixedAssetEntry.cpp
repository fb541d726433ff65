#include "assets/FixedAssetEntry.h"

#include <QRegularExpression>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"

namespace zodra::assets {

namespace {

std::optional<int> WholeNumber(const QString& text, int digits) {
    static const QRegularExpression number(QStringLiteral("^\\s*\\d+\\s*$"));
    if (!number.match(text).hasMatch() || text.trimmed().size() > digits) {
        return std::nullopt;
    }
    return text.trimmed().toInt();
}

}  // namespace

FixedAssetEntry::FixedAssetEntry(Database& db, int year, Prompter& prompter)
    : m_db(db), m_year(year), m_prompter(prompter) {
    OfferNumber();
}

FixedAssetEntry::FixedAssetEntry(Database& db, int year, Prompter& prompter,
                                 const FixedAsset& existing)
    : asset(existing), m_db(db), m_year(year), m_prompter(prompter), m_original(existing) {
    numberText = QString::number(existing.number);
    // The months are not stored: the ones that give the stored depreciation, else a full year.
    monthsText = QStringLiteral("12");
    for (int months = 0; months <= 12; ++months) {
        const Depreciation d =
            ComputeDepreciation(existing.purchaseValue, existing.bookValue, existing.rate, months);
        if (MoneyEqual(d.amount, existing.depreciation) && existing.depreciation != 0) {
            monthsText = QString::number(months);
            break;
        }
    }
}

void FixedAssetEntry::OfferNumber() {
    if (m_original) {
        numberText = QString::number(m_original->number);
        return;
    }
    try {
        numberText = QString::number(NextAssetNumber(m_db, m_year));
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
        numberText.clear();
    }
}

std::optional<int> FixedAssetEntry::ParsedNumber() const {
    const auto number = WholeNumber(numberText, 9);
    if (!number || *number <= 0) {
        return std::nullopt;
    }
    return number;
}

bool FixedAssetEntry::NumberLeft() {
    const auto number = ParsedNumber();
    if (!number) {
        m_prompter.Inform(InvalidNumberMessage());
        OfferNumber();
        return false;
    }
    const bool own = m_original && m_original->number == *number;
    if (!own && AssetNumberTaken(m_db, m_year, *number)) {
        m_prompter.Inform(DuplicateMessage());
        OfferNumber();
        return false;
    }
    numberText = QString::number(*number);
    return true;
}

bool FixedAssetEntry::NameLeft() {
    if (asset.name.size() > kMaxNameLength) {
        m_prompter.Inform(NameTooLongMessage());
        return false;
    }
    return true;
}

bool FixedAssetEntry::DocumentLeft() {
    if (asset.document.size() > kMaxDocumentLength) {
        m_prompter.Inform(DocumentTooLongMessage());
        return false;
    }
    return true;
}

bool FixedAssetEntry::GroupLeft() {
    if (asset.group.size() > kMaxGroupLength) {
        m_prompter.Inform(GroupTooLongMessage());
        return false;
    }
    return true;
}

bool FixedAssetEntry::MonthsLeft() {
    const auto months = WholeNumber(monthsText, 2);
    const bool ok = months && *months <= 12;
    if (!ok) {
        m_prompter.Inform(MonthsMessage());
        monthsText = QStringLiteral("0");
    } else {
        monthsText = QString::number(*months);
    }
    Recompute();
    return ok;
}

void FixedAssetEntry::Recompute() {
    const auto months = WholeNumber(monthsText, 2);
    const Depreciation d = ComputeDepreciation(asset.purchaseValue, asset.bookValue, asset.rate,
                                               months && *months <= 12 ? *months : 0);
    asset.depreciation = d.amount;
    asset.yearEndValue = d.yearEndValue;
}

void FixedAssetEntry::DepreciationEdited() {
    asset.yearEndValue = RoundMoney(asset.bookValue - asset.depreciation);
}

void FixedAssetEntry::YearEndEdited() {
    asset.depreciation = RoundMoney(asset.bookValue - asset.yearEndValue);
}

bool FixedAssetEntry::Accept() {
    // The texts first, in this order, each with its own message.
    FixedAsset row = asset;
    row.number = 1;  // the number is checked after the texts
    if (const auto fault = CheckAsset(row);
        fault &&
        (*fault == NameMessage() || *fault == DocumentMessage() || *fault == GroupMessage())) {
        m_prompter.Inform(*fault);
        return false;
    }
    if (!NumberLeft()) {
        return false;
    }
    row.number = numberText.toInt();
    try {
        if (m_original) {
            UpdateAsset(m_db, m_year, m_original->number, row);
        } else {
            row.table = AssetTable::Current;
            AddAsset(m_db, m_year, row);
        }
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
        if (e.message() == DuplicateMessage()) {
            // Taken by another workstation since the field was left.
            OfferNumber();
        }
        return false;
    }
    asset = row;
    return true;
}

}  // namespace zodra::assets
