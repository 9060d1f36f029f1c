// The pages of a PDF file that reached the disk whole; -1 for a file that
// is missing or cut short.
#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QString>

inline int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = file.readAll();
    if (!pdf.trimmed().endsWith("%%EOF")) return -1;
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}
