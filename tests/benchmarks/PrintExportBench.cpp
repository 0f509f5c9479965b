// bench_print_export: the print layout's "Salva" of a page (A4 at 96 dpi) holding the province map
// of each folder: the JPEG encoding through the JPEG layer beside libjpeg-turbo called in-process on
// the same bitmap, and the whole save road (render, temporary BMP, reload, bitmap section, JPEG)
// beside rendering and encoding straight away.
#include "BenchFolders.h"

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
#include "mapkit/MapLayer.h"
#include "mapkit/MapWidget.h"

#include <cstdio>
#include <jpeglib.h>

namespace {

struct Page {
    QTemporaryDir dir;
    std::unique_ptr<pendra::PrintLayout> layout;

    explicit Page(const QString &shapes)
    {
        com::setRegistryPath(dir.filePath(QStringLiteral("components.ini")));
        com::registerServer(QStringLiteral(PENDRA_DIR) + QStringLiteral("/libKVR_UTIL_prov.so"));
        layout = std::make_unique<pendra::PrintLayout>();
        QPicture map;
        QPainter p(&map);
        mapkit::MapLayer layer;
        layer.setFile(shapes + QStringLiteral("province107.shp"));
        const mapkit::MapRect extent = layer.extent();
        p.setTransform(mapkit::MapWidget::mapToDevice(extent, QSizeF(400, 300)));
        p.setPen(QPen(Qt::black, 0));
        mapkit::MapRecordset all = layer.searchByDistance(extent.center(), extent.width() * 100);
        int i = 0;
        for (all.moveFirst(); !all.eof(); all.moveNext(), ++i) {
            p.setBrush(QColor::fromHsv(i * 7 % 360, 180, 230));
            p.drawPath(all.shape().painterPath());
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

// libjpeg-turbo straight on the bitmap's rows, quality 90, to a file.
bool encodeWithLibjpeg(const QImage &rgb, const QByteArray &file)
{
    FILE *out = std::fopen(file.constData(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, out);
    c.image_width = JDIMENSION(rgb.width());
    c.image_height = JDIMENSION(rgb.height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        Page page(f.root + "Shape/");
        const QImage rendered = page.render();
        pendra::cDIBSection section;
        section.CreateFromPicture(rendered);
        const QImage rgb = rendered.convertToFormat(QImage::Format_RGB888);
        const QByteArray file = QFile::encodeName(page.dir.filePath(QStringLiteral("enc.jpg")));
        const QByteArray raw = QFile::encodeName(page.dir.filePath(QStringLiteral("raw.jpg")));
        bool ok = true;
        const double anchor = bench::medianMs(f.runs, [&] { ok = encodeWithLibjpeg(rgb, raw) && ok; });
        const double program = bench::medianMs(f.runs, [&] { ok = encode(section, file) && ok; });
        ratios.add("jpeg", f.territories, program, anchor);

        const QString bmp = page.dir.filePath(QStringLiteral("tmp.bmp"));
        const double whole = bench::medianMs(f.runs, [&] {
            page.render().save(bmp, "BMP");
            pendra::cDIBSection s;
            s.CreateFromPicture(QImage(bmp, "BMP"));
            ok = encode(s, file) && ok;
            QFile::remove(bmp);
        });
        const double direct = bench::medianMs(f.runs, [&] {
            ok = encodeWithLibjpeg(page.render().convertToFormat(QImage::Format_RGB888), raw) && ok;
        });
        ratios.add("image-export", f.territories, whole, direct);
        if (!ok)
            return 1;
    }
    return 0;
}
