// What the export does with a template, for the template fuzz targets: blocks on the first two
// sheets, the columns fitted, the first sheet selected, saved and read back. Refusals are fine,
// anything else (a crash, a sanitizer report, an exception that is not vb::Error) is a finding.
#pragma once

#include "sheet/Application.h"
#include "sheet/SheetReader.h"
#include "vb/Error.h"

#include <QString>

namespace fuzz {

inline void exportThrough(const QString &templatePath, const QString &outPath)
{
    try {
        sheet::Application xl;
        sheet::Workbook &book = xl.open(templatePath);
        for (int s = 1; s <= std::min(2, book.sheetCount()); ++s) {
            book.sheet(s).setValues({{vb::Variant("TipoTerritorio"), vb::Variant("AS013_2005")},
                                     {vb::Variant("1"), vb::Variant(12.5)},
                                     {vb::Variant(), vb::Variant(QString(" a\x01<&>_x0041_"))}});
            book.sheet(s).autoFitColumns(1, 3);
        }
        if (book.sheetCount() > 0)
            book.sheet(1).select();
        book.saveAs(outPath);
        xl.quit();
        sheet::SheetReader back(outPath);
        for (int s = 1; s <= back.sheetNames().size(); ++s) {
            (void)back.cells(s);
            (void)back.columnWidths(s);
            (void)back.cellStyles(s);
        }
        (void)back.activeSheet();
    } catch (const vb::Error &) {
    }
}

}  // namespace fuzz
