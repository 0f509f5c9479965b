// The legend of the print layout.
#include "cls_Leggenda.h"

#include "vb/Conversions.h"

#include <limits>

namespace kvr {

namespace {
const char ClassName[] = "cls_Leggenda";
}

cls_Leggenda::cls_Leggenda() : Object(buildIds::IID_cls_Leggenda, &liveObjects) {}

HRESULT cls_Leggenda::add(QString *LabelFontName, QString *LabelFontSize, double *LabelColor,
                          double *QuadratoColor, QString *LabelTesto, float *LabelX, float *LabelY,
                          _cls_Leggenda **result)
{
    if (result)
        *result = nullptr;
    if (!LabelFontName || !LabelFontSize || !LabelColor || !QuadratoColor || !LabelTesto || !LabelX || !LabelY)
        return com::E_POINTER;
    return guarded(ClassName, [&] {
        const int slot = m_count;
        auto grow = [slot](auto &items) { items.resize(slot + 1); };
        grow(m_fontName);
        grow(m_fontSize);
        grow(m_testo);
        grow(m_x);
        grow(m_y);
        grow(m_color);
        grow(m_qColor);

        m_fontName[slot] = *LabelFontName;
        m_fontSize[slot] = vb::CInt(vb::Variant(*LabelFontSize));  // error 13 leaves the slot open
        m_color[slot] = *LabelColor;
        m_testo[slot] = *LabelTesto;
        m_x[slot] = *LabelX;
        m_y[slot] = *LabelY;
        m_qColor[slot] = *QuadratoColor;
        if (m_count == std::numeric_limits<qint16>::max())
            throw vb::Error::of(vb::err::Overflow);
        ++m_count;
    });
}

HRESULT cls_Leggenda::get_Count(qint32 *result)
{
    if (!result)
        return com::E_POINTER;
    *result = m_count;
    return com::S_OK;
}

HRESULT cls_Leggenda::Remove(vb::Variant *)
{
    return com::S_OK;
}

template <class T>
HRESULT cls_Leggenda::read(const QVector<T> &items, const qint16 *index, T *result)
{
    if (!index || !result)
        return com::E_POINTER;
    return guarded(ClassName, [&] {
        // The arrays may hold one slot more than Count after a failed add: Count is the bound.
        if (*index < 0 || *index >= m_count)
            throw vb::Error::of(vb::err::SubscriptOutOfRange);
        *result = items[*index];
    });
}

template <class T>
HRESULT cls_Leggenda::write(QVector<T> &items, const qint16 *index, T value)
{
    if (!index)
        return com::E_POINTER;
    return guarded(ClassName, [&] {
        if (*index < 0 || *index >= m_count)
            throw vb::Error::of(vb::err::SubscriptOutOfRange);
        items[*index] = std::move(value);
    });
}

HRESULT cls_Leggenda::get_FontName(qint16 *Index, QString *result) { return read(m_fontName, Index, result); }
HRESULT cls_Leggenda::put_FontName(qint16 *Index, QString value) { return write(m_fontName, Index, std::move(value)); }
HRESULT cls_Leggenda::get_FontSize(qint16 *Index, qint16 *result) { return read(m_fontSize, Index, result); }
HRESULT cls_Leggenda::put_FontSize(qint16 *Index, qint16 value) { return write(m_fontSize, Index, value); }
HRESULT cls_Leggenda::get_Testo(qint16 *Index, QString *result) { return read(m_testo, Index, result); }
HRESULT cls_Leggenda::put_Testo(qint16 *Index, QString value) { return write(m_testo, Index, std::move(value)); }
HRESULT cls_Leggenda::get_X(qint16 *Index, float *result) { return read(m_x, Index, result); }
HRESULT cls_Leggenda::put_X(qint16 *Index, float value) { return write(m_x, Index, value); }
HRESULT cls_Leggenda::get_y(qint16 *Index, float *result) { return read(m_y, Index, result); }
HRESULT cls_Leggenda::put_y(qint16 *Index, float value) { return write(m_y, Index, value); }
HRESULT cls_Leggenda::get_Color(qint16 *Index, double *result) { return read(m_color, Index, result); }
HRESULT cls_Leggenda::put_Color(qint16 *Index, double value) { return write(m_color, Index, value); }
HRESULT cls_Leggenda::get_QColor(qint16 *Index, double *result) { return read(m_qColor, Index, result); }
HRESULT cls_Leggenda::put_QColor(qint16 *Index, double value) { return write(m_qColor, Index, value); }

}  // namespace kvr
