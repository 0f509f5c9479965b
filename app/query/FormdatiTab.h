// The query window: area tree, variable-and-year selection, territory selection, data query.
#pragma once

#include "forms/Form.h"

namespace pendra {

class FormdatiTab : public forms::Form {
    Q_OBJECT
public:
    FormdatiTab();
};

}  // namespace pendra
