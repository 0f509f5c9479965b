// The spreadsheet application object.
#include "Application.h"

namespace sheet {

Workbook &Application::open(const QString &path)
{
    m_books.push_back(Workbook::open(path));
    return *m_books.back();
}

void Application::quit()
{
    for (auto &b : m_books)
        b->close();
    m_books.clear();
}

}  // namespace sheet
