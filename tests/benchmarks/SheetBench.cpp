// Writing the widest export (255 columns x 131 rows) through the spreadsheet layer, beside writing
// the same cells with libzip alone (sheet XML built as one string). Target: the layer within 2x
// of the baseline and under 300 ms.
#include "sheet/Application.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zip.h>

#include <charconv>

namespace {

const QString Template = QStringLiteral(PENDRA_DIR "/Files/DatiTemplateVar.xlsx");
constexpr int Rows = 131, Cols = 255;

QVector<QVector<vb::Variant>> widestBlock()
{
    QVector<QVector<vb::Variant>> rows;
    for (int i = 0; i < Rows; ++i) {
        QVector<vb::Variant> row;
        for (int j = 0; j < Cols; ++j) {
            if (i == 0)
                row << vb::Variant(QString("AS%1_2005").arg(j, 3, 10, QChar('0')));
            else if (j < 6)
                row << vb::Variant(j == 5 ? QString("Territorio %1").arg(i) : QString::number(i * 1000 + j));
            else
                row << vb::Variant(i * 3.25 + j);
        }
        rows << row;
    }
    return rows;
}

void BM_SheetLayer(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto rows = widestBlock();
    for (auto _ : state) {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(Template);
        book.sheet(1).setValues(rows);
        book.sheet(1).autoFitColumns(1, Cols);
        book.sheet(2).setValues({{vb::Variant("Variabile")}, {vb::Variant("AS001")}});
        book.sheet(1).select();
        book.saveAs(dir.path() + "/out.xlsx");
        xl.quit();
    }
}
BENCHMARK(BM_SheetLayer)->Unit(benchmark::kMillisecond);

// The same cells as a hand-built sheet part, with the template's other parts copied through libzip.
void BM_LibzipAlone(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto rows = widestBlock();
    for (auto _ : state) {
        int err = 0;
        zip_t *in = zip_open(QFile::encodeName(Template).constData(), ZIP_RDONLY, &err);
        zip_t *out = zip_open(QFile::encodeName(dir.path() + "/base.xlsx").constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet xmlns=\""
                         "http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
        for (int i = 0; i < Rows; ++i) {
            xml += "<row r=\"" + QByteArray::number(i + 1) + "\">";
            for (int j = 0; j < Cols; ++j) {
                const vb::Variant &v = rows[i][j];
                QByteArray ref;
                for (int c = j + 1; c > 0; c = (c - 1) / 26)
                    ref.prepend(char('A' + (c - 1) % 26));
                ref += QByteArray::number(i + 1);
                if (v.isNumber()) {
                    char buf[32];
                    const auto r = std::to_chars(buf, buf + sizeof buf, v.toDouble());
                    xml += "<c r=\"" + ref + "\"><v>" + QByteArray(buf, r.ptr - buf) + "</v></c>";
                } else {
                    xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + v.toString().toHtmlEscaped().toUtf8() +
                           "</t></is></c>";
                }
            }
            xml += "</row>";
        }
        xml += "</sheetData></worksheet>";
        const zip_int64_t n = zip_get_num_entries(in, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            const char *name = zip_get_name(in, static_cast<zip_uint64_t>(i), 0);
            zip_source_t *src = std::string(name) == "xl/worksheets/sheet1.xml"
                                    ? zip_source_buffer(out, xml.constData(), static_cast<zip_uint64_t>(xml.size()), 0)
                                    : zip_source_zip(out, in, static_cast<zip_uint64_t>(i), 0, 0, -1);
            zip_file_add(out, name, src, ZIP_FL_OVERWRITE);
        }
        zip_close(out);
        zip_discard(in);
    }
}
BENCHMARK(BM_LibzipAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
