#pragma once

// Checks a written e-invoice as the tax administration's platform does: against the shipped UBL
// 2.1 schemas with the Croatian extension (xmllint) and against the Croatian rules (the
// schematron of share/einvoice, turned into XSLT 2.0 by UblSchematronCompiler.xsl and run by
// Saxon-HE on Java; xsltproc knows XSLT 1.0 only and the rules are written for XSLT 2).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/XmlSchema.h"

namespace zodra::test {

inline QString EInvoiceShare(const QString& path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/share/einvoice/") + path;
}

inline QString UblSchemaErrors(const QString& xmlPath, bool creditNote) {
    return XmlSchemaErrors(
        xmlPath, EInvoiceShare(creditNote ? QStringLiteral("ubl/maindoc/UBL-CreditNote-2.1.xsd")
                                          : QStringLiteral("ubl/maindoc/UBL-Invoice-2.1.xsd")));
}

// Runs Saxon's XSLT processor; empty when it ran, else what went wrong.
inline QString RunSaxon(const QString& source, const QString& stylesheet, const QString& out) {
    const QString jar = QStringLiteral("/usr/share/java/Saxon-HE.jar");
    if (!QFileInfo::exists(jar)) {
        return QStringLiteral(
            "Saxon-HE is not installed (libsaxonhe-java, scripts/install-deps.sh)");
    }
    QProcess java;
    java.setProcessChannelMode(QProcess::MergedChannels);
    java.start(QStringLiteral("java"),
               {QStringLiteral("-cp"), jar, QStringLiteral("net.sf.saxon.Transform"),
                QStringLiteral("-s:") + source, QStringLiteral("-xsl:") + stylesheet,
                QStringLiteral("-o:") + out});
    if (!java.waitForFinished(120000) || java.exitCode() != 0) {
        return QStringLiteral("saxon failed: ") + java.errorString() + QLatin1Char(' ') +
               QString::fromUtf8(java.readAll());
    }
    return {};
}

// The Croatian rules the document breaks, each as "ID: message" in document order; one entry
// "saxon failed: …" when the rules could not be run at all.
inline QStringList SchematronFailures(const QString& xmlPath) {
    static QTemporaryDir folder;
    static QString compiled;
    if (compiled.isEmpty()) {
        const QString target = folder.filePath(QStringLiteral("hr-rules.xsl"));
        const QString error = RunSaxon(
            EInvoiceShare(QStringLiteral("schematron/HR-CIUS-EXT-EN16931-UBL.sch")),
            QStringLiteral(ZODRA_SOURCE_DIR "/tests/fiscal/UblSchematronCompiler.xsl"), target);
        if (!error.isEmpty()) {
            return {error};
        }
        compiled = target;
    }
    const QString report = xmlPath + QStringLiteral(".rules.xml");
    if (const QString error = RunSaxon(xmlPath, compiled, report); !error.isEmpty()) {
        return {error};
    }
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("saxon failed: no report")};
    }
    static const QRegularExpression failed(
        QStringLiteral("<failed id=\"([^\"]*)\"[^>]*>\\s*(.*?)\\s*</failed>"),
        QRegularExpression::DotMatchesEverythingOption);
    QStringList failures;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QRegularExpressionMatch& m : failed.globalMatch(text)) {
        failures << m.captured(1) + QStringLiteral(": ") + m.captured(2).simplified();
    }
    return failures;
}

}  // namespace zodra::test
