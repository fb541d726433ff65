#pragma once

#include <QDate>
#include <QLineEdit>
#include <functional>
#include <optional>

namespace zodra {
class Prompter;
}

namespace zodra::ui {

// A box for a date, typed day first ("1.3.2026", "010326", "1.3." …) and shown as
// "dd.MM.yyyy". Left without a valid date it shows "Nije ispravno upisan datum. Biti će
// postavljen današnji datum." and takes today's date. A document date box warns "Ovaj datum je
// nedjelja !" when it is given a Sunday. A date outside the input limits (data/InputLimits.h:
// the years any date may have, for a document date the reach of its business year) shows the
// limits' message and takes today's date the same way. The whole text is selected when it
// receives focus.
class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(Prompter& prompter, QWidget* parent = nullptr);

    QDate Date() const { return m_date; }
    // Sets the date without questions (an invalid date shows an empty box).
    void SetDate(const QDate& date);
    // Warn when a Sunday is entered (document dates).
    void SetSundayWarning(bool on) { m_sundayWarning = on; }
    // A document date: within the reach of this business year. `what` names the box in the
    // messages ("Datum" unless set).
    void SetBusinessYear(std::optional<int> year) { m_businessYear = year; }
    void SetLimitName(const QString& what) { m_what = what; }
    // Where "today" comes from (tests fix it).
    void SetToday(std::function<QDate()> today) { m_today = std::move(today); }
    // Checks the typed text as leaving the box does; returns false when the text was not a
    // date (or one outside the limits) and today's date was taken instead. Windows call it before
    // they read a date the user may still be typing (e.g. on a keyboard shortcut that does not move
    // the focus).
    bool Commit();

Q_SIGNALS:
    // The accepted date changed through the user (typing and leaving, or the fallback).
    void dateEdited(const QDate& date);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Accept(const QDate& date, bool byUser);

    Prompter& m_prompter;
    std::function<QDate()> m_today;
    QDate m_date;
    bool m_sundayWarning = false;
    bool m_committing = false;
    std::optional<int> m_businessYear;
    QString m_what = QStringLiteral("Datum");
};

}  // namespace zodra::ui
