// One text block of the print layout.
#include "cls_Titolo.h"

#include "PropertyAccess.h"

namespace kvr {

cls_Titolo::cls_Titolo() : Object(buildIds::IID_cls_Titolo, &liveObjects) {}

HRESULT cls_Titolo::put_y(float value) { return putProperty(m_y, value); }
HRESULT cls_Titolo::get_y(float *result) { return getProperty(m_y, result); }
HRESULT cls_Titolo::put_X(float value) { return putProperty(m_x, value); }
HRESULT cls_Titolo::get_X(float *result) { return getProperty(m_x, result); }
HRESULT cls_Titolo::put_FontSize(QString value) { return putProperty(m_fontSize, std::move(value)); }
HRESULT cls_Titolo::get_FontSize(QString *result) { return getProperty(m_fontSize, result); }
HRESULT cls_Titolo::put_FontName(QString value) { return putProperty(m_fontName, std::move(value)); }
HRESULT cls_Titolo::get_FontName(QString *result) { return getProperty(m_fontName, result); }
HRESULT cls_Titolo::put_Testo(QString value) { return putProperty(m_testo, std::move(value)); }
HRESULT cls_Titolo::get_Testo(QString *result) { return getProperty(m_testo, result); }
HRESULT cls_Titolo::put_Colore(double value) { return putProperty(m_colore, value); }
HRESULT cls_Titolo::get_Colore(double *result) { return getProperty(m_colore, result); }

}  // namespace kvr
