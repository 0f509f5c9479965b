// FillSettoreCombos: the area lists of the glossary.
#include "SettoreCombos.h"

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
    try {
        jet::Connection connection = GetDbConnection("Metadati.mdb");
        jet::Recordset r;
        r.open("Select * from settore where idsettore <> 'A'", connection, jet::CursorType::ForwardOnly,
               jet::LockType::ReadOnly);
        while (!r.eof()) {
            descriptions.addItem(NullToString(r.value(1)));
            codes.addItem(NullToString(r.value(0)));
            r.moveNext();
        }
        descriptions.setCurrentIndex(-1);
        codes.setCurrentIndex(-1);
        r.close();
        connection.close();
    } catch (const vb::Error &e) {
        descriptions.setCurrentIndex(-1);
        codes.setCurrentIndex(-1);
        LogError("Utility", "FillSettoreCombos", e);
    }
}

}  // namespace pendra
