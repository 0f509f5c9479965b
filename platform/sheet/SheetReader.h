// A small reader of saved workbooks: sheet names, the active sheet, cell types and values, widths.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

namespace sheet {

class Workbook;

struct CellValue {
    enum Type { Number, Text, Boolean, Error } type = Text;
    QString text;       // the value as stored (numbers in the file's notation, "12.5")
    double number = 0;  // for Number
    bool operator==(const CellValue &) const = default;
};

class SheetReader {
public:
    // Throws vb::Error as Workbook::open.
    explicit SheetReader(const QString &path);
    ~SheetReader();

    QStringList sheetNames() const;
    int activeSheet() const;  // 1-based, from the workbook view (1 when none is recorded)
    // The non-empty cells of a sheet (1-based) by reference ("A1").
    QMap<QString, CellValue> cells(int sheet) const;
    // Widths of the columns given in the sheet's <cols>, by 1-based column.
    QMap<int, double> columnWidths(int sheet) const;
    // Style indexes (into the styles part's cell formats): of every cell that names one, by
    // reference; of the columns given in <cols> that name one, by 1-based column.
    QMap<QString, int> cellStyles(int sheet) const;
    QMap<int, int> columnStyles(int sheet) const;
    bool tabSelected(int sheet) const;
    // The stored bytes of a package part; empty when absent.
    QByteArray part(const QString &name) const;
    QStringList partNames() const;

private:
    std::unique_ptr<Workbook> m_book;
};

}  // namespace sheet
