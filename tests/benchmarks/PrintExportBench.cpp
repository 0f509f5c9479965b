// bench_print_export: the print layout's "Salva" of its page as JPEG, the whole road the user's
// button takes (render, temporary BMP, reload, bitmap section, JPEG layer, the message), with the
// province map of each folder, beside rendering the same page and encoding it at once with
// libjpeg-turbo called in-process.
#include "BenchFolders.h"

#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/maps/MapLayoutSource.h"
#include "app/maps/PrintMappa.h"

#include "com/Registry.h"
#include "forms/FormRegistry.h"
#include "forms/Printers.h"
#include "forms/ScriptedDialogService.h"
#include "mapkit/MapLayer.h"
#include "mapkit/MapWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <cstdio>
#include <jpeglib.h>

namespace {

// The map window's side of the hand-over: the province layer of the folder drawn as the map
// kit draws it, six classes and a title.
class ProvinceMap : public pendra::MapLayoutSource {
public:
    explicit ProvinceMap(const QString &shapes) : m_shapes(shapes) {}

    QSize exportSnapshot(const QString &path) override
    {
        QPicture map;
        QPainter p(&map);
        mapkit::MapLayer layer;
        layer.setFile(m_shapes + QStringLiteral("province107.shp"));
        const mapkit::MapRect extent = layer.extent();
        p.setTransform(mapkit::MapWidget::mapToDevice(extent, QSizeF(400, 300)));
        QPen outline(Qt::black, 1);
        outline.setCosmetic(true);
        p.setPen(outline);
        mapkit::MapRecordset all = layer.searchByDistance(extent.center(), extent.width() * 100);
        int i = 0;
        for (all.moveFirst(); !all.eof(); all.moveNext(), ++i) {
            p.setBrush(QColor::fromHsv(i * 7 % 360, 180, 230));
            p.drawPath(all.shape().painterPath());
        }
        p.end();
        map.setBoundingRect(QRect(0, 0, 400, 300));
        map.save(path);
        return QSize(10583, 7938);  // 400 x 300 pixels at 96 dpi in HIMETRIC
    }
    QVector<pendra::MapClassRow> classRows() override
    {
        QVector<pendra::MapClassRow> rows;
        for (int r = 0; r < 5; ++r)
            rows.append({0x3C8DFDu + 0x101010u * quint32(r), QStringLiteral("Classe %1").arg(r + 1)});
        rows.append({0xFFFFFF, QStringLiteral("Dato non presente")});
        return rows;
    }
    QString description() override { return QStringLiteral("Tasso di occupazione 2001"); }

private:
    QString m_shapes;
};

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
    QTemporaryDir dir;
    com::setRegistryPath(dir.filePath(QStringLiteral("components.ini")));
    com::registerServer(QStringLiteral(PENDRA_DIR) + QStringLiteral("/libKVR_UTIL_prov.so"));
    forms::ScriptedDialogService dialogs;
    forms::ScopedDialogs installed(dialogs);
    forms::setHasPrinter(false);
    bench::Ratios ratios;
    for (const bench::Folder &f : bench::folders()) {
        pendra::app().FilesPath = dir.path() + QLatin1Char('/');
        ProvinceMap source(f.root + "Shape/");
        pendra::ShowPrintMappa(source);
        auto *window = forms::FormRegistry::find<pendra::PrintMappa>();
        if (!window) {
            std::fprintf(stderr, "the print layout did not open: %s\n", qPrintable(dialogs.messages().join(' ')));
            return 1;
        }
        const QString jpg = dir.filePath(QStringLiteral("Cartogramma.jpg"));
        const QByteArray raw = QFile::encodeName(dir.filePath(QStringLiteral("raw.jpg")));
        bool ok = true;
        ratios.add("jpeg", f.territories,
                   bench::interleavedMs(
                       f.runs,
                       [&] {
                           dialogs.answerFile(jpg);
                           window->cmdSalva_Click();
                           ok = ok && QFileInfo(jpg).size() > 0 &&
                                dialogs.messages().last() == "Immagine " + jpg + " salvata correttamente.";
                           QFile::remove(jpg);
                       },
                       [&] {
                           ok = encodeWithLibjpeg(window->renderPage().convertToFormat(QImage::Format_RGB888), raw) &&
                                ok;
                       }));
        forms::FormRegistry::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!ok) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(dialogs.messages().join(' ')));
            return 1;
        }
    }
    return 0;
}
