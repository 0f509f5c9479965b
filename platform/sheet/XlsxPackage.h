// The parts of an .xlsx file in memory: read from a zip, written back to a zip.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

namespace sheet {

struct Part {
    QString name;  // path inside the package ("xl/workbook.xml")
    QByteArray data;
};

// A part to write: its bytes are the pieces one after the other.
struct PartPieces {
    QString name;
    std::vector<QByteArray> pieces;
};

// No part of a real workbook comes near these; a package past them is refused, not inflated.
constexpr qint64 MaxPartBytes = qint64(128) << 20;
constexpr qint64 MaxPackageBytes = qint64(256) << 20;

// Reads every part in stored order, taking memory by what is inflated, not by what the archive
// declares. Throws SheetError 53 when the file is missing, 1004 when it is not a readable zip
// package or inflates past the limits above.
QVector<Part> readPackage(const QString &path);
// Writes the parts (deflated at a moderate level) to path, replacing it. Throws SheetError 75
// when it cannot; path is then left as it was.
void writePackage(const QString &path, const std::vector<PartPieces> &parts);

}  // namespace sheet
