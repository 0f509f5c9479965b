// bench_export: "Esporta in Excel" of the widest result table (255 columns, every territory) with its
// metadata sheet, beside libxlsxwriter writing the same cells in-process in its constant-memory mode
// (goal: at most 0.6 times at 8,000, 1.0 at the sample) and in its default mode, and the export's
// peak resident size beside that of libxlsxwriter in constant-memory mode.
#include "BenchFolders.h"
#include "WidestQuery.h"

#include "app/query/EsportaExcel.h"
#include "forms/ScriptedDialogService.h"
#include "grid/FlexGridModel.h"
#include "vb/Conversions.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <malloc.h>
#include <xlsxwriter.h>

namespace {

pendra::TextTable widestTable(const QString &root)
{
    jet::Connection cn;
    cn.open(bench::dataConnect(root));
    jet::Recordset rs;
    rs.open(bench::widestQuery(root) + " order by land_Ind.COD_TERR", cn, jet::CursorType::Static,
            jet::LockType::ReadOnly);
    grid::FlexGridModel g;
    g.setDataSource(rs);
    pendra::TextTable table(g.Rows(), QVector<QString>(g.Cols()));
    for (int r = 0; r < g.Rows(); ++r)
        for (int c = 0; c < g.Cols(); ++c)
            table[r][c] = g.TextMatrix(r, c);
    return table;
}

QVector<QVector<vb::Variant>> metadataBlock(const pendra::TextTable &table)
{
    jet::Connection cn;
    cn.open(pendra::app().ConnPrefix + pendra::app().DataPath + "metadati.mdb");
    jet::Recordset rs;
    rs.open(pendra::MetadataSql("Variabili", pendra::MetadataCodes(table[0])), cn);
    QVector<QVector<vb::Variant>> block;
    pendra::CopyRecords(rs, block);
    return block;
}

void writeCell(lxw_worksheet *sheet, int r, int c, const vb::Variant &v)
{
    if (v.isNumber())
        worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), v.toDouble(), nullptr);
    else if (!v.isNull() && !v.isEmpty() && !v.toString().isEmpty())
        worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), v.toString().toUtf8().constData(), nullptr);
}

void writeBlock(lxw_worksheet *sheet, const QVector<QVector<vb::Variant>> &rows)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            writeCell(sheet, r, c, rows[r][c]);
}

// The same cells as the export writes, from the same table texts, with the columns sized.
bool withLibxlsxwriter(const QString &path, const pendra::TextTable &table, const QVector<QVector<vb::Variant>> &meta,
                       bool constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_worksheet *data = workbook_add_worksheet(book, "Dati");
    lxw_worksheet *metadata = workbook_add_worksheet(book, "Metadati");
    workbook_add_worksheet(book, "Note");
    // Columns first: the constant-memory mode writes each row as it comes.
    for (int c = 0; c < table[0].size(); ++c) {
        int longest = 0;
        for (const auto &row : table)
            longest = std::max(longest, int(row[c].size()));
        worksheet_set_column(data, lxw_col_t(c), lxw_col_t(c), longest + 1, nullptr);
    }
    for (int r = 0; r < table.size(); ++r)
        for (int c = 0; c < table[r].size(); ++c)
            writeCell(data, r, c, pendra::ExcelValue(table, r, c));
    writeBlock(metadata, meta);
    worksheet_activate(data);
    return workbook_close(book) == LXW_NO_ERROR;
}

qint64 statusBytes(const char *field)
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// Peak resident bytes a step adds over what the process held before it.
template <class F> qint64 peakBytes(F &&step)
{
    malloc_trim(0);  // what the heap kept from before is not the step's
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");  // resets the high-water mark to the current size
    clear.close();
    const qint64 before = statusBytes("VmRSS:");
    step();
    return statusBytes("VmHWM:") - before;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    forms::ScriptedDialogService dialogs;
    forms::setDialogs(&dialogs);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    bench::Ratios ratios;
    QTemporaryDir dir;
    for (const bench::Folder &f : bench::folders()) {
        pendra::AppState &s = bench::useFolder(f.root);
        s.Kind = "Variabili";
        const pendra::TextTable table = widestTable(f.root);
        const auto meta = metadataBlock(table);
        const QString out = dir.path() + "/out.xlsx", base = dir.path() + "/base.xlsx";
        bool ok = true;
        auto program = [&] { ok = pendra::CreateExcelFile(out, "DatiTemplateVar", table, "Variabili") && ok; };
        auto streaming = [&] { ok = withLibxlsxwriter(base, table, meta, true) && ok; };
        auto inMemory = [&] { ok = withLibxlsxwriter(base, table, meta, false) && ok; };
        const qint64 peak = peakBytes(program), streamingPeak = peakBytes(streaming), memoryPeak = peakBytes(inMemory);
        ratios.add("export", f.territories, bench::interleavedMs(f.runs, program, streaming));
        ratios.add("export-default", f.territories, bench::interleavedMs(f.runs, program, inMemory));
        if (!ok) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(dialogs.messages().join(' ')));
            return 1;
        }
        std::printf("export, %d territories: peak resident %.1f MB; libxlsxwriter %.1f MB (constant memory), "
                    "%.1f MB (default)\n",
                    f.territories, peak / 1e6, streamingPeak / 1e6, memoryPeak / 1e6);
        ratios.add("export-memory", f.territories, peak / 1e6, streamingPeak / 1e6);
    }
    return 0;
}
