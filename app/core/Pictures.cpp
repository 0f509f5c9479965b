// ResizeBitmap, HandleToPicture and CaricaSfondoForm on Qt images.
#include "Pictures.h"

#include "Program.h"
#include "Utility.h"
#include "frmMainMDI.h"

#include "forms/Form.h"
#include "forms/FormRegistry.h"
#include "forms/Twips.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <cstdlib>

namespace pendra {

namespace {
QImage::Format formatForDepth(int depth)
{
    switch (depth) {
    case 1: return QImage::Format_Mono;
    case 4:  // Qt has no 4-bit format: 8-bit indices into 16 colours
    case 8: return QImage::Format_Indexed8;
    case 16: return QImage::Format_RGB16;
    case 24: return QImage::Format_RGB888;
    default: return QImage::Format_RGB32;
    }
}

// The 16 colours a 4-bit bitmap gets.
QVector<QRgb> vgaPalette()
{
    return {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
            0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
}

int depthOf(const QImage &image)
{
    return image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB ? 1 : image.depth();
}
}  // namespace

QImage ResizeBitmap(const QImage &source, qint32 mode, qint32 width, qint32 height, qint32 bitDepth,
                    qint32 stretchMode)
{
    if (source.isNull())
        return QImage();
    switch (bitDepth) {
    case 0: case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return QImage();
    }
    const int w = width == 0 ? source.width() : std::abs(width);
    const int h = height == 0 ? source.height() : std::abs(height);
    const int depth = bitDepth == 0 ? depthOf(source) : bitDepth;
    if (mode == 0)
        mode = 2;

    QImage::Format format;
    if (mode == 2)
        format = formatForDepth(depth);
    else if (mode == 1)
        format = depthOf(source) == 1 ? QImage::Format_Mono : QImage::Format_RGB32;
    else
        return QImage();

    QImage out;
    if (w == source.width() && h == source.height()) {
        out = source.copy();
    } else {
        const auto quality = stretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation;
        out = source.scaled(w, h, Qt::IgnoreAspectRatio, quality);
    }
    if (depth == 4 && mode == 2)
        return out.convertToFormat(format, vgaPalette(), Qt::ThresholdDither);
    return out.format() == format ? out : out.convertToFormat(format);
}

QPixmap HandleToPicture(const QImage &bitmap)
{
    return bitmap.isNull() ? QPixmap() : QPixmap::fromImage(bitmap);
}

void CaricaSfondoForm(forms::Form &window)
{
    try {
        const qint32 widthPx = qint32(vb::Round(forms::twipsToPixels(window.widthTwips())));
        const qint32 heightPx = qint32(vb::Round(forms::twipsToPixels(window.heightTwips())));
        const QString folder = programFolder() + "/Images/";
        const QString file = vb::findFileNoCase(folder, "velmo2.jpg");
        QImage source;
        if (file.isEmpty() || !source.load(file))
            throw vb::Error::of(vb::err::FileNotFound, "CaricaSfondoForm");
        const QPixmap picture = HandleToPicture(ResizeBitmap(source, 1, widthPx, heightPx + 10, 0, HALFTONE));
        window.setPicture(picture);
        if (window.name() == "frmStart") {
            if (frmMainMDI *main = forms::FormRegistry::find<frmMainMDI>())
                main->setPicture(picture);
        }
    } catch (const vb::Error &e) {
        LogError("Utility", "CaricaSfondoForm", e);
    }
}

}  // namespace pendra
