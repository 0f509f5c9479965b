// The data table window: runs SqlQuery and shows the result in a grid.
#pragma once

#include "forms/Form.h"

namespace pendra {

class frm_dispData : public forms::Form {
    Q_OBJECT
public:
    frm_dispData();
};

}  // namespace pendra
