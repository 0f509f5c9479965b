// The frame of the printed map page: four margins, a position and a colour.
#pragma once

#include "library/Module.h"

#include "com/Object.h"

namespace kvr {

// Plain property holder: no validation, the print layout decides what the numbers mean.
class cls_Bordo final : public com::Object<_cls_Bordo> {
public:
    cls_Bordo();

    HRESULT put_MargineSuperiore(float value) override;
    HRESULT get_MargineSuperiore(float *result) override;
    HRESULT put_MargineInferiore(float value) override;
    HRESULT get_MargineInferiore(float *result) override;
    HRESULT put_MargineDestro(float value) override;
    HRESULT get_MargineDestro(float *result) override;
    HRESULT put_MargineSinistro(float value) override;
    HRESULT get_MargineSinistro(float *result) override;
    HRESULT put_X(float value) override;
    HRESULT get_X(float *result) override;
    HRESULT put_Colore(double value) override;
    HRESULT get_Colore(double *result) override;

private:
    float m_superiore = 0;
    float m_inferiore = 0;
    float m_destro = 0;
    float m_sinistro = 0;
    float m_x = 0;
    double m_colore = 0;
};

}  // namespace kvr
