// A minimal spreadsheet workbook writer (.xlsx, Office Open XML): sheets of texts and numbers.
#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

namespace atlas {

class XlsxWriter {
public:
    // rows[r][c] is a number (a double or an integer QVariant) or a text; an invalid or empty
    // QVariant leaves the cell out. A sheet may have no rows.
    void addSheet(const QString &name, const QVector<QVector<QVariant>> &rows = {});

    // Writes the workbook; an existing file is replaced. Throws vb::Error (75) when it cannot.
    void save(const QString &path) const;

    // "A1" style reference of a zero-based row and column.
    static QString cellName(int row, int column);

private:
    struct Sheet {
        QString name;
        QVector<QVector<QVariant>> rows;
    };
    QVector<Sheet> m_sheets;
};

}  // namespace atlas
