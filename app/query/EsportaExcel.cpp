// The spreadsheet export: workbook values, metadata codes and query, building, saving and opening.
#include "EsportaExcel.h"

#include "app/core/AppState.h"
#include "app/core/Utility.h"
#include "forms/DialogService.h"
#include "forms/MousePointer.h"
#include "forms/ShellOpen.h"
#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "sheet/Application.h"
#include "sheet/SheetError.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace pendra {

namespace {

const char *const Source = "Utility";

// The first data column: columns 0 to 4 hold the territory's type and codes, which stay text.
constexpr int FirstNumberColumn = 5;

// Codes per metadata query.
constexpr qsizetype MetadataSlice = 50;

const char *const VariablesSelect =
    "SELECT IdVariabile as Variabile, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as [Codice Sottoarea], "
    "Argomento.[Desc argomento] as Sottoarea, DescVariabile, Fonte, PubblRecente, Ente, UltimoAnnoDisponibile, "
    "[1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], [2006], [2007], [2008], "
    "UnitaMisura, PeriodoRif, NoteSerie, Note_1996, Note_1997, Note_1998, Note_1999, Note_2000, "
    "Note_2001, Note_2002, Note_2003, Note_2004, Note_2005, Note_2006, Note_2007, Note_2008, Fonte_1996, "
    "Fonte_1997, Fonte_1998, Fonte_1999, Fonte_2000, Fonte_2001, Fonte_2002, Fonte_2003, Fonte_2004, Fonte_2005, "
    "Fonte_2006, Fonte_2007, Fonte_2008, Pubblicazione_1996, Pubblicazione_1997, Pubblicazione_1998, Pubblicazione_1999, "
    "Pubblicazione_2000, Pubblicazione_2001, Pubblicazione_2002, Pubblicazione_2003, Pubblicazione_2004, Pubblicazione_2005, "
    "Pubblicazione_2006, Pubblicazione_2007, Pubblicazione_2008, Ente_1996, Ente_1997, Ente_1998, Ente_1999, Ente_2000, "
    "Ente_2001, Ente_2002, Ente_2003, Ente_2004, Ente_2005, Ente_2006, Ente_2007, Ente_2008 "
    "FROM Settore INNER JOIN (Argomento INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = MetadatiVariabili.CodiceArgomento) ON Settore.idSettore = Argomento.idSettore "
    "WHERE ";

const char *const IndicatorsSelect =
    "SELECT IdIndicatore as Indicatore, Settore.[Descrizione Settore] as Area, Argomento.[Codice argomento] as [Codice Sottoarea], Argomento.[Desc argomento] as Sottoarea, "
    "DescIndicatore , ModalitaCalcolo, IdVariabilAssociate, [1996], [1997], [1998], [1999], [2000], [2001], [2002], [2003], "
    "[2004], [2005], [2006], [2007], [2008], NoteTecniche FROM (Argomento INNER JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = MetadatiIndicatori.Argomento) "
    "INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore WHERE ";

// A name not ending in ".xlsx" gets it ("dati.2005" too), so the existence test sees the file that
// will be written.
QString withExtension(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? fileName : fileName + ".xlsx";
}

// The user reads the program's own sentence; what the system said goes to Error.log only, beside it.
void reportError(const QString &procedure, const vb::Error &error, const QString &shown = QString())
{
    if (dynamic_cast<const sheet::SheetError *>(&error)) {
        LogError(Source, procedure, error);
        return;
    }
    const QString detail = error.detail().isEmpty() ? error.description() : error.description() + " " + error.detail();
    LogError(Source, procedure, vb::Error(error.number(), shown, error.source(), detail));
}

}  // namespace

vb::Variant ExcelValue(const TextTable &cells, int row, int column)
{
    const QVector<QString> &source = cells[row];
    if (column >= source.size())
        return vb::Variant();
    const QString &text = source[column];
    if (row > 0 && column >= FirstNumberColumn && !text.isEmpty())
        if (const std::optional<double> number = vb::parseNumber(text))
            return vb::Variant(*number);
    return vb::Variant(text);
}

QStringList MetadataCodes(const QVector<QString> &headers)
{
    QStringList codes;
    for (int c = 1; c < headers.size(); ++c) {
        QString code = headers[c];
        if (code.size() > 4 && vb::IsNumeric(code.right(4)))
            code.chop(5);
        if (!code.isEmpty() && !codes.contains(code))
            codes << code;
    }
    return codes;
}

QString MetadataSql(const QString &kind, const QStringList &codes)
{
    const bool variables = kind == QLatin1String("Variabili");
    QString sql = QString::fromUtf8(variables ? VariablesSelect : IndicatorsSelect);
    const QString idColumn = " ID" + kind.left(kind.size() - 1) + "e ='";
    for (const QString &code : codes)
        sql += idColumn + code + "' OR ";
    sql = sql.trimmed();
    if (sql.endsWith(QLatin1String("OR")))
        sql.chop(2);
    return sql;
}

QString TemplateName(const QString &kind)
{
    return kind == QLatin1String("Variabili") ? QStringLiteral("DatiTemplateVar") : QStringLiteral("DatiTemplateInd");
}

void CreateExcelFileDir()
{
    try {
        const QString folder = app().ExcelPath;
        if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
            throw sheet::SheetError(76, QStringLiteral("Impossibile creare la cartella %1.").arg(folder), "CreateExcelFileDir");
    } catch (const vb::Error &e) {
        reportError("CreateExcelFileDir", e);
    }
}

void CopyRecords(jet::Recordset &records, QVector<QVector<vb::Variant>> &block)
{
    try {
        if (records.eof())
            return;
        // Built aside, so a read that fails adds nothing of this set.
        QVector<QVector<vb::Variant>> rows;
        const int fields = records.fieldCount();
        if (block.isEmpty()) {
            QVector<vb::Variant> header;
            for (const QString &name : records.fieldNames())
                header.append(vb::Variant(name));
            rows.append(header);
        }
        for (; !records.eof(); records.moveNext()) {
            QVector<vb::Variant> row(fields);
            for (int f = 0; f < fields; ++f)
                row[f] = records.value(f);
            rows.append(std::move(row));
        }
        block += rows;
    } catch (const vb::Error &e) {
        reportError("CopyRecords", e, QStringLiteral("Impossibile leggere i metadati dei codici esportati."));
    }
}

void CopyRecordsMeta(const QStringList &codes, sheet::Worksheet &target, const QString &kind)
{
    try {
        jet::Connection connection;
        connection.open(app().ConnPrefix + app().DataPath + "metadati.mdb");
        // A wide table asks in slices of codes, so no one statement grows with the table.
        QVector<QVector<vb::Variant>> block;
        for (qsizetype first = 0; first < codes.size(); first += MetadataSlice) {
            jet::Recordset records;
            records.open(MetadataSql(kind, codes.mid(first, MetadataSlice)), connection);
            CopyRecords(records, block);
            records.close();
        }
        connection.close();
        if (!block.isEmpty()) {
            target.setValues(block);
            target.autoFitColumns(1, static_cast<int>(block[0].size()));
        }
    } catch (const vb::Error &e) {
        reportError("CopyRecordsMeta", e, QStringLiteral("Impossibile leggere i metadati dei codici esportati."));
    }
}

bool CreateExcelFile(const QString &fileName, const QString &templateName, const TextTable &cells,
                     const QString &kind)
{
    sheet::Application excel;
    try {
        sheet::Workbook &book = excel.open(app().FilesPath + templateName + ".xlsx");
        sheet::Worksheet &data = book.sheet(1);
        sheet::Worksheet &meta = book.sheet(2);
        int columns = 0;
        for (const QVector<QString> &row : cells)
            columns = std::max(columns, static_cast<int>(row.size()));
        // Written cell by cell from the table's texts: no second copy of the table is made.
        if (!cells.isEmpty() && !cells[0].isEmpty() && !cells[0][0].isEmpty())
            data.setValues(static_cast<int>(cells.size()), columns,
                           [&](int row, int column) { return ExcelValue(cells, row, column); });
        CopyRecordsMeta(MetadataCodes(cells.isEmpty() ? QVector<QString>() : cells[0]), meta, kind);
        if (columns > 0)
            data.autoFitColumns(1, columns);
        data.select();
        book.saveAs(fileName);
        book.close();
        excel.quit();
        return true;
    } catch (const vb::Error &e) {
        excel.quit();
        reportError("CreateExcelFile", e, QStringLiteral("Impossibile creare la cartella di lavoro."));
    } catch (const std::exception &e) {
        excel.quit();
        reportError("CreateExcelFile", vb::Error::of(e),
                    QStringLiteral("Impossibile creare la cartella di lavoro."));
    }
    return false;
}

int ShellOpenFile(const QString &fileName)
{
    try {
        return forms::shellOpener().open(fileName);
    } catch (const vb::Error &e) {
        forms::dialogs().msgBox("Errore nell'apertura del file!", forms::vbCritical, "Attenzione");
        LogError(Source, "ShellOpenFile", e);
    } catch (const std::exception &e) {
        forms::dialogs().msgBox("Errore nell'apertura del file!", forms::vbCritical, "Attenzione");
        LogError(Source, "ShellOpenFile", vb::Error::of(e));
    }
    return 0;
}

void OpenFileExcel(const QString &fileName)
{
    using namespace forms;
    try {
        if (dialogs().msgBox("Si desidera aprire il file adesso per consultarlo?", vbYesNo + vbQuestion) != vbYes)
            return;
        const int r = ShellOpenFile(fileName);
        if (r == SE_ERR_FNF || r == SE_ERR_BAD_FORMAT)
            dialogs().msgBox("File non trovato o rovinato.", vbCritical);
        else if (r == SE_ERR_NOASSOC)
            dialogs().msgBox("Non si dispone di un'applicazione che possa aprire il file!", vbCritical, "Attenzione");
    } catch (const vb::Error &e) {
        LogError(Source, "OpenFileExcel", e);
    }
}

QString EsportaTabella(const TextTable &cells, const QString &kind)
{
    using namespace forms;
    setMousePointer(MousePointer::Hourglass);
    CreateExcelFileDir();
    FileRequest request;
    request.initDir = app().ExcelPath;
    request.title = "Selezionare un file...";
    request.filter = "File di Microsoft Excel.|*.xlsx";
    request.confirmOverwrite = false;  // the question below is the only one
    QString fileName = dialogs().saveFile(request);
    if (fileName.isEmpty()) {
        setMousePointer(MousePointer::Default);
        return QString();
    }
    fileName = withExtension(fileName);
    // The old file is replaced only once the new one is written (the save goes through a temporary
    // file), so Yes deletes nothing yet.
    if (QFileInfo::exists(fileName) &&
        dialogs().msgBox("Il File esiste si vuole sovrascriverlo?", vbYesNo + vbQuestion, "Creazione File Excel") != vbYes) {
        setMousePointer(MousePointer::Default);
        return QString();
    }
    setMousePointer(MousePointer::Hourglass);
    const bool written = CreateExcelFile(fileName, TemplateName(kind), cells, kind);
    setMousePointer(MousePointer::Default);
    if (!written)
        return QString();
    OpenFileExcel(fileName);
    return fileName;
}

}  // namespace pendra
