// The bitmap section of the JPEG export: a picture copied into bottom-up BGR rows.
#include "cDIBSection.h"

#include <cstring>

namespace pendra {

bool cDIBSection::Create(qint32 lWidth, qint32 lHeight)
{
    ClearUp();
    if (lWidth < 1 || lHeight < 1)
        return false;
    m_width = lWidth;
    m_height = lHeight;
    m_bits.assign(std::size_t(bytesPerScanLine(lWidth)) * std::size_t(lHeight), 0);
    return true;
}

void cDIBSection::CreateFromPicture(const QImage &picThis)
{
    if (!Create(picThis.width(), picThis.height()))
        return;
    // BGR888 rows are the section's rows; only their order and padding differ.
    const QImage bgr = picThis.convertToFormat(QImage::Format_BGR888);
    const qint32 stride = BytesPerScanLine();
    for (qint32 y = 0; y < m_height; ++y)
        std::memcpy(m_bits.data() + std::size_t(m_height - 1 - y) * stride, bgr.constScanLine(y), std::size_t(m_width) * 3);
}

qint32 cDIBSection::BytesPerScanLine() const
{
    return bytesPerScanLine(m_width);
}

void cDIBSection::ClearUp()
{
    m_width = 0;
    m_height = 0;
    m_bits.clear();
    m_bits.shrink_to_fit();
}

}  // namespace pendra
