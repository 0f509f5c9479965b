// The spreadsheet program's application object: opens workbooks and quits.
#pragma once

#include "Workbook.h"

#include <vector>

namespace sheet {

class Application {
public:
    // Workbooks.Open: the workbook stays owned by the application until quit(). Errors as
    // Workbook::open.
    Workbook &open(const QString &path);
    // Closes every workbook without saving.
    void quit();

private:
    std::vector<std::unique_ptr<Workbook>> m_books;
};

}  // namespace sheet
