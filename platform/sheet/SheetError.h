// The layer's failures: the description is the program's own Italian sentence, shown to the user;
// what the system or the file said is kept apart, for the error log only.
#pragma once

#include "vb/Error.h"

namespace sheet {

class SheetError : public vb::Error {
public:
    SheetError(qint32 number, const QString &description, const QString &source, QString detail = QString())
        : vb::Error(number, description, source, std::move(detail))
    {
    }
};

}  // namespace sheet
