// The frame of the printed map page.
#include "cls_Bordo.h"

#include "PropertyAccess.h"

namespace kvr {

cls_Bordo::cls_Bordo() : Object(buildIds::IID_cls_Bordo, &liveObjects) {}

HRESULT cls_Bordo::put_MargineSuperiore(float value) { return putProperty(m_superiore, value); }
HRESULT cls_Bordo::get_MargineSuperiore(float *result) { return getProperty(m_superiore, result); }
HRESULT cls_Bordo::put_MargineInferiore(float value) { return putProperty(m_inferiore, value); }
HRESULT cls_Bordo::get_MargineInferiore(float *result) { return getProperty(m_inferiore, result); }
HRESULT cls_Bordo::put_MargineDestro(float value) { return putProperty(m_destro, value); }
HRESULT cls_Bordo::get_MargineDestro(float *result) { return getProperty(m_destro, result); }
HRESULT cls_Bordo::put_MargineSinistro(float value) { return putProperty(m_sinistro, value); }
HRESULT cls_Bordo::get_MargineSinistro(float *result) { return getProperty(m_sinistro, result); }
HRESULT cls_Bordo::put_X(float value) { return putProperty(m_x, value); }
HRESULT cls_Bordo::get_X(float *result) { return getProperty(m_x, result); }
HRESULT cls_Bordo::put_Colore(double value) { return putProperty(m_colore, value); }
HRESULT cls_Bordo::get_Colore(double *result) { return getProperty(m_colore, result); }

}  // namespace kvr
