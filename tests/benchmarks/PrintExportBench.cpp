// Print layout export: a page rendered at A4 and 96 dpi, saved as JPEG; compare with
// `cjpeg -quality 90` on the BMP this writes to $TMPDIR/pendra-bench-page.bmp.
#include "app/maps/PrintLayout.h"
#include "app/maps/cDIBSection.h"
#include "ijl/Ijl.h"

#include "com/Registry.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Page {
    QTemporaryDir dir;
    std::unique_ptr<pendra::PrintLayout> layout;

    Page()
    {
        com::setRegistryPath(dir.filePath(QStringLiteral("components.ini")));
        com::registerServer(QStringLiteral(PENDRA_DIR) + QStringLiteral("/libKVR_UTIL_prov.so"));
        layout = std::make_unique<pendra::PrintLayout>();
        QPicture map;
        QPainter p(&map);
        for (int i = 0; i < 200; ++i) {
            p.setBrush(QColor::fromHsv(i * 7 % 360, 180, 230));
            p.drawPolygon(QPolygon({QPoint(i * 3 % 400, i * 7 % 300), QPoint(i * 5 % 400 + 30, i * 3 % 300),
                                    QPoint(i * 11 % 400, i * 13 % 300 + 40)}));
        }
        p.end();
        map.setBoundingRect(QRect(0, 0, 400, 300));
        const QString path = dir.filePath(QStringLiteral("temp.emf"));
        map.save(path);
        layout->loadSnapshot(path, QSize(10583, 7938));
        com::check(layout->Titolo->put_Testo(QStringLiteral("Tasso di occupazione 2001")));
        com::check(layout->Titolo->put_FontSize(QStringLiteral("14")));
        com::check(layout->Titolo->put_X(2.9f));
        com::check(layout->Titolo->put_y(0.5f));
        for (int r = 0; r < 6; ++r)
            layout->addLegendEntry(QStringLiteral("DejaVu Sans"), QStringLiteral("8"), 0x3C8DFD, QStringLiteral("Classe %1").arg(r), r);
        layout->setBorderFromPage(QSizeF(8.27, 11.69));
    }

    QImage render() const
    {
        QImage image(794, 1123, QImage::Format_RGB32);  // A4 at 96 dpi
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        layout->regola(painter, pendra::PageScale{96, 96});
        return image;
    }
};

Page &page()
{
    static Page p;
    return p;
}

bool encode(const pendra::cDIBSection &section, const QByteArray &file)
{
    ijl::JPEG_CORE_PROPERTIES props;
    ijl::ijlInit(&props);
    props.DIBBytes = section.DIBSectionBitsPtr();
    props.DIBWidth = section.Width();
    props.DIBHeight = -section.Height();
    props.DIBPadBytes = section.BytesPerScanLine() - section.Width() * 3;
    props.JPGFile = file.constData();
    props.JPGWidth = section.Width();
    props.JPGHeight = section.Height();
    props.jquality = 90;
    const bool ok = ijl::ijlWrite(&props, ijl::IJL_JFILE_WRITEWHOLEIMAGE) == ijl::IJL_OK;
    ijl::ijlFree(&props);
    return ok;
}

void EncodeStep(benchmark::State &state)
{
    pendra::cDIBSection section;
    section.CreateFromPicture(page().render());
    const QByteArray file = QFile::encodeName(page().dir.filePath(QStringLiteral("enc.jpg")));
    for (auto _ : state)
        benchmark::DoNotOptimize(encode(section, file));
}
BENCHMARK(EncodeStep)->Unit(benchmark::kMillisecond);

// Render, temporary BMP, reload, bitmap section, JPEG: the whole "Salva" road.
void WholeSave(benchmark::State &state)
{
    const QString bmp = page().dir.filePath(QStringLiteral("tmp.bmp"));
    const QByteArray file = QFile::encodeName(page().dir.filePath(QStringLiteral("whole.jpg")));
    for (auto _ : state) {
        page().render().save(bmp, "BMP");
        pendra::cDIBSection section;
        section.CreateFromPicture(QImage(bmp, "BMP"));
        benchmark::DoNotOptimize(encode(section, file));
        QFile::remove(bmp);
    }
}
BENCHMARK(WholeSave)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    page().render().save(QDir::temp().filePath(QStringLiteral("pendra-bench-page.bmp")), "BMP");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
