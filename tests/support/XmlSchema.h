#pragma once

// Validates a written XML file against an XML schema with xmllint (libxml2-utils), as the tax
// administration's portal validates an uploaded form.

#include <QProcess>
#include <QString>

namespace zodra::test {

// Empty when the file is valid; otherwise xmllint's complaint (or why it could not run).
inline QString XmlSchemaErrors(const QString& xmlPath, const QString& schemaPath) {
    QProcess lint;
    lint.setProcessChannelMode(QProcess::MergedChannels);
    lint.start(QStringLiteral("xmllint"),
               {QStringLiteral("--noout"), QStringLiteral("--schema"), schemaPath, xmlPath});
    if (!lint.waitForFinished(60000)) {
        return QStringLiteral("xmllint did not run: ") + lint.errorString();
    }
    const QString output = QString::fromUtf8(lint.readAll());
    if (lint.exitStatus() != QProcess::NormalExit || lint.exitCode() != 0) {
        return output.isEmpty() ? QStringLiteral("xmllint failed") : output;
    }
    return {};
}

}  // namespace zodra::test
