// A workbook opened from a template: its sheets, saving under a name, closing.
#pragma once

#include "Worksheet.h"

#include <QString>
#include <memory>

namespace sheet {

struct WorkbookData;

// Keeps every part of the template it does not change (styles, other sheets, names) byte for byte.
class Workbook {
public:
    // Opens the .xlsx file; the file name is matched without regard to letter case when the exact
    // name does not exist. Throws vb::Error 53 (missing) or 1004 (not a workbook).
    static std::unique_ptr<Workbook> open(const QString &path);
    ~Workbook();

    int sheetCount() const;
    // Sheets(index), 1-based; vb::Error 9 outside 1..sheetCount().
    Worksheet &sheet(int index);

    // Writes the workbook to a temporary file in the target's folder, then replaces the target
    // with it. Throws vb::Error 75 when it cannot; the old file (if any) is then untouched and no
    // partial file is left.
    void saveAs(const QString &path);
    // Forgets the workbook without saving; sheets are invalid afterwards.
    void close();
    bool isOpen() const;

private:
    friend class Worksheet;
    friend class SheetReader;
    Workbook();
    void selectSheet(int index);
    std::unique_ptr<WorkbookData> d;
};

}  // namespace sheet
