// A 24-bit device-independent bitmap section: BGR pixels, rows bottom-up, each padded to 4 bytes.
#pragma once

#include <QImage>
#include <QtGlobal>
#include <vector>

namespace pendra {

// Holds the pixels of one JPEG save. An empty section (never created, or cleared) has width 0
// and a null bits pointer.
class cDIBSection {
public:
    // Copies the picture into a new section of its size (colours only; alpha is dropped).
    void CreateFromPicture(const QImage &picThis);
    // A black section of lWidth x lHeight; false (and empty) for a size below 1.
    bool Create(qint32 lWidth, qint32 lHeight);
    // (width x 3 + 3) with the two lowest bits cleared.
    qint32 BytesPerScanLine() const;
    qint32 Width() const { return m_width; }
    qint32 Height() const { return m_height; }
    const quint8 *DIBSectionBitsPtr() const { return m_bits.empty() ? nullptr : m_bits.data(); }
    quint8 *DIBSectionBitsPtr() { return m_bits.empty() ? nullptr : m_bits.data(); }
    void ClearUp();

    // The row stride of a 24-bit section of that width.
    static qint32 bytesPerScanLine(qint32 width) { return (width * 3 + 3) & ~3; }

private:
    qint32 m_width = 0;
    qint32 m_height = 0;
    std::vector<quint8> m_bits;
};

}  // namespace pendra
