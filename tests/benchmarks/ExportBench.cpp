// The spreadsheet export of the widest result table (255 columns, every territory) from its texts,
// metadata sheet included, beside writing the same cells with libzip alone: the provinces of the
// sample (131 rows) and a municipal grid of 8,000 territories. The municipal run also reports the
// export's peak memory over the size of the sheet XML it writes (target: at most 2).
#include "LibzipBaseline.h"

#include "app/core/AppState.h"
#include "app/query/EsportaExcel.h"
#include "forms/ScriptedDialogService.h"
#include "vb/Conversions.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zip.h>

#include <fstream>
#include <string>

namespace {

const QString Folder = QStringLiteral(PENDRA_DIR "/");
constexpr int Cols = 255;

pendra::TextTable widestTable(int Rows)
{
    pendra::TextTable rows;
    for (int i = 0; i < Rows; ++i) {
        QVector<QString> row;
        for (int j = 0; j < Cols; ++j) {
            if (i == 0)
                row << (j < 6 ? QString("T%1").arg(j) : QString("AS%1_2005").arg(j - 5, 3, 10, QChar('0')));
            else if (j < 6)
                row << (j == 5 ? QString("Territorio %1").arg(i) : QString::number(i * 1000 + j));
            else
                row << vb::userLocale().toString(i * 3.25 + j, 'f', 2);
        }
        rows << row;
    }
    return rows;
}

forms::ScriptedDialogService dialogs;

void setUp()
{
    forms::setDialogs(&dialogs);
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    pendra::AppState &s = pendra::app();
    s.DataPath = Folder + "Databases/";
    s.FilesPath = Folder + "Files/";
    s.ConnPrefix = pendra::odbcPrefix(pendra::DatabasePassword);
    s.Kind = "Variabili";
}

// Resident bytes now and at their highest so far.
double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}
double peakResidentBytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) * 1024.0;
}

double sheetXmlBytes(const QString &path)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    zip_stat_t st;
    const bool ok = z && zip_stat(z, "xl/worksheets/sheet1.xml", 0, &st) == 0;
    if (z)
        zip_discard(z);
    return ok ? double(st.size) : 0.0;
}

// Argument: the territories (data rows under the header).
void BM_ExportTable(benchmark::State &state)
{
    setUp();
    QTemporaryDir dir;
    const pendra::TextTable table = widestTable(int(state.range(0)) + 1);
    const QString out = dir.path() + "/out.xlsx";
    // The first export's growth over what the table already holds (the process peak until now).
    const double before = std::max(residentBytes(), peakResidentBytes());
    for (auto _ : state)
        if (!pendra::CreateExcelFile(out, "DatiTemplateVar", table, "Variabili"))
            state.SkipWithError(("export failed: " + dialogs.messages().join(' ')).toStdString().c_str());
    const double xml = sheetXmlBytes(out);
    state.counters["peak_MB"] = (peakResidentBytes() - before) / 1e6;
    state.counters["xml_MB"] = xml / 1e6;
    state.counters["memory_ratio"] = xml > 0 ? (peakResidentBytes() - before) / xml : 0;
}
BENCHMARK(BM_ExportTable)->Arg(130)->Arg(8000)->Unit(benchmark::kMillisecond);

void BM_LibzipAlone(benchmark::State &state)
{
    setUp();
    QTemporaryDir dir;
    const pendra::TextTable table = widestTable(int(state.range(0)) + 1);
    QVector<QVector<vb::Variant>> rows(table.size());
    for (int i = 0; i < table.size(); ++i)
        for (int j = 0; j < table[i].size(); ++j)
            rows[i] << pendra::ExcelValue(table, i, j);
    for (auto _ : state)
        benchbase::writeWithLibzip(Folder + "Files/DatiTemplateVar.xlsx", dir.path() + "/base.xlsx", rows);
}
BENCHMARK(BM_LibzipAlone)->Arg(130)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
