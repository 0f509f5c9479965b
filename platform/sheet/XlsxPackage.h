// The parts of an .xlsx file in memory: read from a zip, written back to a zip.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace sheet {

struct Part {
    QString name;  // path inside the package ("xl/workbook.xml")
    QByteArray data;
};

// Reads every part in stored order. Throws vb::Error 53 when the file is missing, 1004 when it is
// not a readable zip package.
QVector<Part> readPackage(const QString &path);
// Writes the parts (deflated) to path, replacing it. Throws vb::Error 75 when it cannot; path is
// then left as it was.
void writePackage(const QString &path, const QVector<Part> &parts);

}  // namespace sheet
