// One text block of the print layout (a title or subtitle): position, font, text and colour.
#pragma once

#include "library/Module.h"

#include "com/Object.h"

namespace kvr {

// Plain property holder: no validation, the print layout decides what the numbers mean.
class cls_Titolo final : public com::Object<_cls_Titolo> {
public:
    cls_Titolo();

    HRESULT put_y(float value) override;
    HRESULT get_y(float *result) override;
    HRESULT put_X(float value) override;
    HRESULT get_X(float *result) override;
    HRESULT put_FontSize(QString value) override;
    HRESULT get_FontSize(QString *result) override;
    HRESULT put_FontName(QString value) override;
    HRESULT get_FontName(QString *result) override;
    HRESULT put_Testo(QString value) override;
    HRESULT get_Testo(QString *result) override;
    HRESULT put_Colore(double value) override;
    HRESULT get_Colore(double *result) override;

private:
    float m_y = 0;
    float m_x = 0;
    QString m_fontSize;
    QString m_fontName;
    QString m_testo;
    double m_colore = 0;
};

}  // namespace kvr
