// The spreadsheet export of the result table: the workbook from its template with the data and the
// metadata of their codes, the save and the offer to open it. Screen-free: it works on the texts
// of the table and talks to the user through the dialog service.
#pragma once

#include "vb/Variant.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace jet {
class Recordset;
}
namespace sheet {
class Worksheet;
}

namespace pendra {

// Rows by columns of cell texts, the header row first (as the grid shows them).
using TextTable = QVector<QVector<QString>>;

// The value of a cell of sheet 1 (0-based row and column of the table): text, except a cell of a
// data row (row 1 on) in column 5 on whose text reads as a number in the user's locale, which
// becomes that number. An empty text stays an empty cell; a cell past the end of its row is Empty.
vb::Variant ExcelValue(const TextTable &cells, int row, int column);

// The codes whose metadata go to sheet 2, from the headers of columns 1 on: "AS013_2005" gives
// "AS013" (a header ending in four digits after a fifth character loses the last five), any other
// header stays whole; each code once, in column order.
QStringList MetadataCodes(const QVector<QString> &headers);

// The metadata SELECT of the kind ("Variabili", anything else reads indicators) for the codes.
QString MetadataSql(const QString &kind, const QStringList &codes);

// "DatiTemplateVar" for "Variabili", else "DatiTemplateInd".
QString TemplateName(const QString &kind);

// Creates ExcelPath when there is no folder of that name; errors are logged.
void CreateExcelFileDir();

// Builds the workbook from Files/<templateName>.xlsx (found without regard to letter case) and
// saves it as fileName; true when the file was written. Every failure (template, metadata
// aside, writing) is logged and gives false; the file already at fileName is then untouched.
bool CreateExcelFile(const QString &fileName, const QString &templateName, const TextTable &cells,
                     const QString &kind);

// Runs the metadata query of the kind ("Variabili" or "Indicatori") for the codes on "metadati.mdb" of DataPath (in slices of codes for wide
// tables) and writes the field names and the records to the sheet from A1 in one block; errors are
// logged and leave the sheet as it was.
void CopyRecordsMeta(const QStringList &codes, sheet::Worksheet &target, const QString &kind);

// Appends every record of the set to the block, after a row of the field names when the block is
// empty; an empty set appends nothing. A failing read is logged and appends nothing.
void CopyRecords(jet::Recordset &records, QVector<QVector<vb::Variant>> &block);

// Asks whether to open the saved file and, on Yes, opens it with its program; the shell's
// failures are told to the user, errors logged.
void OpenFileExcel(const QString &fileName);

// The shell's "Open" of the file (forms::shellOpener()); returns its result code, or 0 after an
// error, which is shown ("Errore nell'apertura del file!") and logged.
int ShellOpenFile(const QString &fileName);

// The export after the table is in order: save dialog in ExcelPath, ".xlsx" added to a name
// that does not end in it (any letter case), the overwrite question, the workbook of the table's kind, the offer to open.
// Returns the file written, empty when none was (its failures are logged and shown).
QString EsportaTabella(const TextTable &cells, const QString &kind);

}  // namespace pendra
