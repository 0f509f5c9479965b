// The legend of the print layout: a list of entries that only grows.
#pragma once

#include "library/Module.h"

#include "com/Object.h"

#include <QVector>

namespace kvr {

// Seven parallel arrays, one element per entry, and a 16-bit entry count. Indexed members fail
// with error 9 outside 0 to Count - 1; entries are never removed.
class cls_Leggenda final : public com::Object<_cls_Leggenda> {
public:
    cls_Leggenda();

    // A LabelFontSize that is not a number fails with error 13 after FontName was stored; Count
    // stays, so the next add reuses the slot. Entry 32,768 fails with overflow (error 6).
    // *result is always set to null.
    HRESULT add(QString *LabelFontName, QString *LabelFontSize, double *LabelColor, double *QuadratoColor,
                QString *LabelTesto, float *LabelX, float *LabelY, _cls_Leggenda **result) override;
    HRESULT get_Count(qint32 *result) override;
    HRESULT Remove(vb::Variant *vntIndexKey) override;  // does nothing
    HRESULT get_FontName(qint16 *Index, QString *result) override;
    HRESULT put_FontName(qint16 *Index, QString value) override;
    HRESULT get_FontSize(qint16 *Index, qint16 *result) override;
    HRESULT put_FontSize(qint16 *Index, qint16 value) override;
    HRESULT get_Testo(qint16 *Index, QString *result) override;
    HRESULT put_Testo(qint16 *Index, QString value) override;
    HRESULT get_X(qint16 *Index, float *result) override;
    HRESULT put_X(qint16 *Index, float value) override;
    HRESULT get_y(qint16 *Index, float *result) override;
    HRESULT put_y(qint16 *Index, float value) override;
    HRESULT get_Color(qint16 *Index, double *result) override;
    HRESULT put_Color(qint16 *Index, double value) override;
    HRESULT get_QColor(qint16 *Index, double *result) override;
    HRESULT put_QColor(qint16 *Index, double value) override;

private:
    template <class T>
    HRESULT read(const QVector<T> &items, const qint16 *index, T *result);
    template <class T>
    HRESULT write(QVector<T> &items, const qint16 *index, T value);

    qint16 m_count = 0;
    QVector<QString> m_fontName;
    QVector<qint16> m_fontSize;
    QVector<QString> m_testo;
    QVector<float> m_x;
    QVector<float> m_y;
    QVector<double> m_color;
    QVector<double> m_qColor;
};

}  // namespace kvr
