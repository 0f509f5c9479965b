// The data table window: runs SqlQuery and shows the result in a grid.
#pragma once

#include "forms/Form.h"

namespace pendra {

class frm_dispData : public forms::Form {
    Q_OBJECT
public:
    frm_dispData();

    // Territory-type codes whose rows go to the map; written by the query window and the map hand-off.
    qint16 tp1 = 0;
    qint16 tp2 = 0;
};

}  // namespace pendra
