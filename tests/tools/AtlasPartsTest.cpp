// The builder's own rules: the boundary set of a series, workbook cell names.
#include "Catalogue.h"
#include "XlsxWriter.h"

#include <gtest/gtest.h>

namespace {

TEST(AtlasParts, ProvinceSeriesMoveToTheNewBoundariesByCodeAndYear) {
    const struct {
        const char *code;
        int year;
        bool onNew;
    } cases[] = {
        {"AS013", 2004, false}, {"AS013", 2005, true},  {"AS001", 2005, false}, {"AS001", 2006, false},
        {"AS013", 2006, true},  {"IAS018", 2005, true}, {"IM001", 2007, false}, {"IM001", 2008, true},
        {"IIM029", 2007, false}, {"CO009", 2006, false}, {"CO010", 2006, true}, {"CO019", 2007, false},
        {"ICO016", 2006, false}, {"ICO024", 2006, true}, {"ICO010", 2007, false}, {"ICO070", 2007, true},
        {"ITR023", 2006, false}, {"ITR023", 2007, true}, {"ias013", 2005, false}, {"EN032", 2005, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(atlas::Catalogue::onNewProvinces(c.code, c.year), c.onNew) << c.code << " " << c.year;
}

TEST(AtlasParts, CellNamesRunPastZ) {
    const struct {
        int row;
        int column;
        const char *name;
    } cases[] = {{0, 0, "A1"}, {9, 25, "Z10"}, {0, 26, "AA1"}, {1, 51, "AZ2"}, {2, 52, "BA3"}, {0, 701, "ZZ1"},
                 {0, 702, "AAA1"}};
    for (const auto &c : cases)
        EXPECT_EQ(atlas::XlsxWriter::cellName(c.row, c.column).toStdString(), c.name);
}

}  // namespace
