#include "app/RecentDatabases.h"

namespace zodra::recent {

QStringList Normalised(const QStringList& list) {
    QStringList out = list.mid(0, kSlots);
    while (out.size() < kSlots) {
        out << QString();
    }
    return out;
}

QStringList MoveToFront(const QStringList& list, const QString& path) {
    QStringList l = Normalised(list);
    if (path.isEmpty()) {
        return l;
    }
    int from = l.indexOf(path);
    if (from < 0) {
        from = kSlots - 1;
    }
    for (int i = from; i > 0; --i) {
        l[i] = l[i - 1];
    }
    l[0] = path;
    return l;
}

QStringList Drop(const QStringList& list, int index) {
    QStringList l = Normalised(list);
    if (index < 0 || index >= kSlots) {
        return l;
    }
    for (int i = index; i < kSlots - 1; ++i) {
        l[i] = l[i + 1];
    }
    l[kSlots - 1] = QString();
    return l;
}

QString Caption(int index, const QString& path) {
    return QStringLiteral("&%1 ").arg(index + 1) + path;
}

QStringList Load(QSettings& settings) {
    QStringList l;
    settings.beginGroup(QStringLiteral("ZadnjeBaze"));
    for (int i = 0; i < kSlots; ++i) {
        l << settings.value(QStringLiteral("Baza%1").arg(i + 1)).toString();
    }
    settings.endGroup();
    return l;
}

void Save(QSettings& settings, const QStringList& list) {
    const QStringList l = Normalised(list);
    settings.beginGroup(QStringLiteral("ZadnjeBaze"));
    for (int i = 0; i < kSlots; ++i) {
        settings.setValue(QStringLiteral("Baza%1").arg(i + 1), l[i]);
    }
    settings.endGroup();
    settings.sync();
}

bool LoadShowBars(QSettings& settings) {
    const QString v =
        settings.value(QStringLiteral("Opcije/PomocneTrake"), QStringLiteral("True")).toString();
    return v.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
}

void SaveShowBars(QSettings& settings, bool shown) {
    settings.setValue(QStringLiteral("Opcije/PomocneTrake"),
                      shown ? QStringLiteral("True") : QStringLiteral("False"));
    settings.sync();
}

}  // namespace zodra::recent
