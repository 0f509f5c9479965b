// FillSettoreCombos: the area lists of the glossary.
#include "SettoreCombos.h"

#include "app/core/Guarded.h"
#include "MetadataValues.h"
#include "app/core/Utility.h"

#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QComboBox>

namespace pendra {

void FillSettoreCombos(QComboBox &descriptions, QComboBox &codes)
{
    const QSignalBlocker quietDescriptions(descriptions), quietCodes(codes);
    descriptions.clear();
    codes.clear();
    guarded(QStringLiteral("Utility"), "FillSettoreCombos", [&] {
        jet::Connection connection = GetDbConnection("Metadati.mdb");
        jet::Recordset r;
        r.open("Select * from settore where idsettore <> 'A'", connection, jet::CursorType::ForwardOnly,
               jet::LockType::ReadOnly);
        while (!r.eof()) {
            descriptions.addItem(NullToString(r.value(1)));
            codes.addItem(NullToString(r.value(0)));
            r.moveNext();
        }
        r.close();
        connection.close();
    });
    descriptions.setCurrentIndex(-1);
    codes.setCurrentIndex(-1);
}

}  // namespace pendra
