// Getter and setter bodies shared by the plain property holders of the print layout.
#pragma once

#include "com/Com.h"

namespace kvr {

template <class T>
com::HRESULT getProperty(const T &field, T *result)
{
    if (!result)
        return com::E_POINTER;
    *result = field;
    return com::S_OK;
}

template <class T>
com::HRESULT putProperty(T &field, T value)
{
    field = std::move(value);
    return com::S_OK;
}

}  // namespace kvr
