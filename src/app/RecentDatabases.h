#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace zodra::recent {

// The last three company databases of the user, most recent first ("Baza1" … "Baza3"); an
// empty text is an unused slot. Kept in the user's settings (organisation and application
// "Zodra", group "ZadnjeBaze"), with the option "PomocneTrake" in group "Opcije".

constexpr int kSlots = 3;

// Always kSlots entries.
QStringList Normalised(const QStringList& list);
// The path goes to the first slot; when it is already in a later slot it is taken out of it
// and the entries above move down one; otherwise every entry moves down and the last drops.
QStringList MoveToFront(const QStringList& list, const QString& path);
// Drops the entry of slot `index` (0-based); the entries below it move up one.
QStringList Drop(const QStringList& list, int index);
// The menu caption of slot `index`: "&1 " + path.
QString Caption(int index, const QString& path);

QStringList Load(QSettings& settings);
void Save(QSettings& settings, const QStringList& list);

// "Pomoćne trake": tool bar and status bar shown (default yes).
bool LoadShowBars(QSettings& settings);
void SaveShowBars(QSettings& settings, bool shown);

}  // namespace zodra::recent
