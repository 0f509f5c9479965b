// Mapping between field types and the declared column types the engine stores.
#pragma once

#include "Types.h"

#include <QString>
#include <optional>

namespace jet {

// The declared type a column of this field gets; text columns compare without regard to case.
QString declaredType(const Field &field);
// The field type of a declared column type, in the Jet DDL names too ("TEXT(50)", "LONG",
// "DOUBLE", "BIT", ...); nullopt for no declared type or one the engine does not know.
std::optional<FieldType> fieldTypeOf(const QString &declared);
// The size in a declared type such as "TEXT(50)"; 0 when none is given.
int declaredSize(const QString &declared);

}  // namespace jet
