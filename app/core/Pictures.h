// Picture routines: stretch a bitmap to a new size and depth, wrap it as a picture, window backgrounds.
#pragma once

#include <QImage>
#include <QPixmap>

namespace forms {
class Form;
}

namespace pendra {

// Stretch modes of the original blit (only halftone smooths).
constexpr qint32 BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

// A new image from source. mode: 1 screen-compatible (32-bit, or 1-bit for a 1-bit source),
// 2 the given bit depth, 0 chooses 2 (a QImage always has its bits in memory). width and height:
// absolute values, 0 keeps the source's. bitDepth: 0 (the source's), 1, 4, 8, 16, 24 or 32.
// The same size copies without stretching. Failure (null source, another depth or mode): null.
QImage ResizeBitmap(const QImage &source, qint32 mode, qint32 width, qint32 height, qint32 bitDepth,
                    qint32 stretchMode);
// The image as a picture; a null image gives a null pixmap.
QPixmap HandleToPicture(const QImage &bitmap);

// The background picture Images/velmo2.jpg stretched to the window (10 pixels taller) becomes its
// picture; for the start page also the main window's. Failures are logged (CaricaSfondoForm,
// "Utility") and the window keeps no picture.
void CaricaSfondoForm(forms::Form &window);

}  // namespace pendra
