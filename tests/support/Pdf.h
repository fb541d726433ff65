#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A printed PDF read back with poppler's tools, for tests that check what a printout holds.
namespace zodra::test {

// Text of a PDF as pdftotext extracts it (page by page, in reading order; "-layout" keeps
// the columns of a line together).
inline QString PdfText(const QString& pdf, bool layout = true) {
    QProcess p;
    QStringList args;
    if (layout) {
        args << QStringLiteral("-layout");
    }
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of one page (1-based).
inline QString PdfPageText(const QString& pdf, int page) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The number of pages pdfinfo reads, -1 when it reads none.
inline int PdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

}  // namespace zodra::test
