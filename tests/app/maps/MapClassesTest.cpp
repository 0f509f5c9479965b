// Statistics of the mapped column and the quartile, manual and equal-width class rules.
#include "app/maps/MapClasses.h"

#include "forms/DialogService.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include "platform/vb/ErrorOf.h"

#include <gtest/gtest.h>

using namespace pendra;

namespace {

class MapClassesTest : public ::testing::Test {
protected:
    void SetUp() override { vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy)); }
    void TearDown() override { vb::resetUserLocale(); }
};

MapColumn column(const QStringList &cells)
{
    return QStringList{QStringLiteral("AS013_2005")} + cells;
}

// The classes of the walked rows as digits ("1123"), empty rows as "-".
QString classesOf(const QuartileClasses &q, int first, int end)
{
    QString out;
    for (int row = first; row < end; ++row)
        out += q.classOfRow[row] ? QString::number(q.classOfRow[row]) : QStringLiteral("-");
    return out;
}

QuartileClasses quartiles(const MapColumn &cells)
{
    const ColumnStatistics stats = ColumnStats(cells);
    return MakeQuartileClasses(cells, getMinMaxIndex(cells, "MIN", stats.MinValue),
                               getMinMaxIndex(cells, "MAX", stats.MinValue));
}

}  // namespace

TEST_F(MapClassesTest, StatisticsSkipEmptyCellsButDivideByEveryRow)
{
    const ColumnStatistics s = ColumnStats(column({"", "2", "4"}));
    EXPECT_EQ(s.MinValue, 2);
    EXPECT_EQ(s.MaxValue, 4);
    EXPECT_EQ(s.MeanValue, 2);  // (2 + 4) / 3 rows

    const ColumnStatistics d = ColumnStats(column({"1,25", "3,5", "10234567,89"}));
    EXPECT_DOUBLE_EQ(d.MinValue, 1.25);
    EXPECT_DOUBLE_EQ(d.MaxValue, 10234567.89);

    const ColumnStatistics none = ColumnStats(column({"", ""}));
    EXPECT_EQ(none.MinValue, 0);
    EXPECT_EQ(none.MaxValue, 0);
}

TEST_F(MapClassesTest, MinMaxIndexFindTheFirstRowOfTheMinimumAndOnePastTheEnd)
{
    const MapColumn cells = column({"", "", "3", "3", "7"});
    EXPECT_EQ(getMinMaxIndex(cells, "MIN", 3), 3);
    EXPECT_EQ(getMinMaxIndex(cells, "MAX", 3), 6);
    EXPECT_EQ(getMinMaxIndex(cells, "min", 3), 0);
    EXPECT_EQ(getMinMaxIndex(cells, "MIN", 4), 0);
}

TEST_F(MapClassesTest, MakeQuantileFollowsTheRemainderTable)
{
    struct Case { int n, k1, k2, k3; };
    const Case cases[] = {{8, 2, 4, 6}, {9, 3, 5, 7}, {10, 3, 5, 8}, {11, 3, 6, 9}, {12, 3, 6, 9}, {107, 27, 54, 81}};
    for (const Case &c : cases) {
        const int q = c.n / 4, r = c.n % 4;
        EXPECT_EQ(MakeQuantile(1, r, q, c.n, 4), c.k1) << c.n;
        EXPECT_EQ(MakeQuantile(2, r, q, c.n, 4), c.k2) << c.n;
        EXPECT_EQ(MakeQuantile(3, r, q, c.n, 4), c.k3) << c.n;
        EXPECT_EQ(MakeQuantile(4, r, q, c.n, 4), 0);
    }
}

TEST_F(MapClassesTest, QuartilesOfOneToTwelveValuesAfterNoneToThreeEmptyRows)
{
    // The grid's rows decide: a grid of fewer than 9 rows in all gives the last value a class of
    // its own; a larger one closes the last class with its last value. One value is one class.
    // Classes as digits per value 1..n; bounds as "lower-upper" per class.
    struct Case { int n, emptyFrom, emptyTo; const char *classes, *bounds; };
    const Case cases[] = {
        {1, 0, 3, "1", "1-1"},
        {2, 0, 3, "12", "1-1 2-2"},
        {3, 0, 3, "123", "1-1 2-2 3-3"},
        {4, 0, 3, "1234", "1-1 2-2 3-3 4-4"},
        {5, 0, 2, "11234", "1-2 3-3 4-4 5-5"},
        {5, 3, 3, "11233", "1-2 3-3 4-5"},
        {6, 0, 1, "112334", "1-2 3-3 4-5 6-6"},
        {6, 2, 3, "112333", "1-2 3-3 4-6"},
        {7, 0, 0, "1122334", "1-2 3-4 5-6 7-7"},
        {7, 1, 3, "1122333", "1-2 3-4 5-7"},
        {8, 0, 3, "11223344", "1-2 3-4 5-6 7-8"},
        {9, 0, 3, "111223344", "1-3 4-5 6-7 8-9"},
        {10, 0, 3, "1112233344", "1-3 4-5 6-8 9-10"},
        {11, 0, 3, "11122233344", "1-3 4-6 7-9 10-11"},
        {12, 0, 3, "111222333444", "1-3 4-6 7-9 10-12"},
    };
    for (const Case &c : cases) {
        for (int empty = c.emptyFrom; empty <= c.emptyTo; ++empty) {
            SCOPED_TRACE(testing::Message() << c.n << " values, " << empty << " empty rows");
            QStringList cells(empty, QString());
            for (int i = 1; i <= c.n; ++i)
                cells << QString::number(i);
            const QuartileClasses q = quartiles(column(cells));
            const int first = 1 + empty, end = first + c.n;
            EXPECT_EQ(classesOf(q, 1, end), QString(empty, u'-') + QString::fromLatin1(c.classes));
            QStringList labels;
            for (const QString &b : QString::fromLatin1(c.bounds).split(' ')) {
                labels << " Da " + b.section('-', 0, 0) + " a " + b.section('-', 1, 1);
            }
            EXPECT_EQ(q.labels, labels);
            EXPECT_FALSE(q.equalBounds);
        }
    }
}

TEST_F(MapClassesTest, SevenValuesAfterAnEmptyRowMakeThreeClassesWithTheirOwnTexts)
{
    const QuartileClasses q = quartiles(column({"", "1,5", "2", "3", "4", "5", "6", "10699,00"}));
    EXPECT_EQ(classesOf(q, 1, 9), "-1122333");
    EXPECT_EQ(q.labels, QStringList({" Da 1,5 a 2", " Da 3 a 4", " Da 5 a 10699,00"}));
}

TEST_F(MapClassesTest, EqualBoundsBetweenClassesAreFlagged)
{
    const QuartileClasses q = quartiles(column({"5", "5", "5", "5", "5", "5", "5", "5", "6"}));
    EXPECT_TRUE(q.equalBounds);
    EXPECT_EQ(q.labels.size(), 4);
    EXPECT_EQ(classmsg::QuartileWarning(),
              "Per una corretta rappresentazione di questi dati si consiglia di non utilizzare i quartili;\n"
              "utilizzare una delle altre opzioni presenti (classi manuali o classi di uguale ampiezza).");
}

TEST_F(MapClassesTest, EqualWidthZeroToTenInThreeClasses)
{
    const ColumnStatistics stats{0, 10, 5};
    ClassBoxes boxes{"0", "10"};
    const EqualWidthStep step = EqualWidthClasses(boxes, "3", stats, {0x80FFFF, 0xC0AAAA, 0xFF5555});
    ASSERT_FALSE(step.message);
    ASSERT_EQ(step.rows.size(), 3);
    EXPECT_EQ(step.rows[0].label, "Da 0 a 3,33");
    EXPECT_EQ(step.rows[1].label, "Da 3,34 a 6,66");
    EXPECT_EQ(step.rows[2].label, "Da 6,67 a 10");
    EXPECT_EQ(step.rows[0].color, 0x80FFFFu);
    EXPECT_EQ(step.rows[2].color, 0xFF5555u);
    EXPECT_TRUE(step.complete);
}

TEST_F(MapClassesTest, EqualWidthRefusesWhatItCannotDraw)
{
    struct Case { QString min, max, classi; ColumnStatistics stats; QString message; int focus; };
    const ColumnStatistics tenths{0.12, 0.15, 0.13};
    const ColumnStatistics ten{0, 10, 5};
    const Case cases[] = {
        {"0", "10", " ", ten, "Inserire il numero delle classi.", ClassMessage::ClassBox},
        {"0", "10", "0", ten, classmsg::BadClassCount, ClassMessage::ClassBox},
        {"0,12", "0,15", "9", tenths, classmsg::WidthZero, ClassMessage::ClassBox},
        {"1,2,3", "10", "3", ten, classmsg::NotANumber, ClassMessage::MinBox},
        {"0", "-", "3", ten, classmsg::NotANumber, ClassMessage::MaxBox},
        {"5", "2", "3", ten, "Il valore minimo non può essere minore del valore massimo!", ClassMessage::NoFocus},
        {"-1", "10", "3", ten, "l'assegnazione dei colori alle classi è terminata", ClassMessage::NoFocus},
        {"0", "11", "3", ten, "Scrivere un numero compreso tra 0 e 10", ClassMessage::MaxBox},
    };
    for (const Case &c : cases) {
        ClassBoxes boxes{c.min, c.max};
        const EqualWidthStep step = EqualWidthClasses(boxes, c.classi, c.stats, {1, 2, 3, 4, 5, 6, 7, 8, 9});
        ASSERT_TRUE(step.message) << c.classi.toStdString();
        EXPECT_EQ(step.message->text, c.message);
        EXPECT_EQ(step.message->focus, c.focus) << c.message.toStdString();
        EXPECT_TRUE(step.rows.isEmpty());
    }
}

TEST_F(MapClassesTest, ManualClassesStepToTheMaximum)
{
    const ColumnStatistics stats{10, 30, 20};
    ClassBoxes boxes{"10", "20"};
    ManualStep first = ManualClass(boxes, stats, 0x0000FF);
    ASSERT_FALSE(first.message);
    EXPECT_EQ(first.added->label, "Da 10 a 20");
    EXPECT_EQ(first.added->color, 0x0000FFu);
    EXPECT_FALSE(first.complete);
    EXPECT_EQ(boxes.txtMin, "20,01");
    EXPECT_EQ(boxes.txtMax, "30");

    ManualStep second = ManualClass(boxes, stats, 0x00FF00);
    EXPECT_EQ(second.added->label, "Da 20,01 a 30");
    EXPECT_TRUE(second.complete);
    EXPECT_EQ(boxes.txtMin, "0");
    EXPECT_EQ(boxes.txtMax, "30");

    // Between the two classes: no class, drawn as no data.
    const QVector<ClassBounds> classes{LabelBounds(first.added->label), LabelBounds(second.added->label)};
    EXPECT_EQ(MatchClass(classes, 20.005), std::nullopt);
    EXPECT_EQ(MatchClass(classes, 20), 1);
    EXPECT_EQ(MatchClass(classes, 20.01), 2);
    EXPECT_EQ(MatchClass(classes, 30), 2);
    // Overlapping classes: the first in grid order wins.
    EXPECT_EQ(MatchClass({{10, 25}, {20, 30}}, 22), 1);
    EXPECT_DOUBLE_EQ(RendererUpperBound("Da 3,34 a 6,66"), 6.66);
}

TEST_F(MapClassesTest, ManualChecksLeaveTheClassesAlone)
{
    const ColumnStatistics stats{10, 30, 20};
    struct Case { QString min, max, message; int focus; };
    const Case cases[] = {
        {"25", "20", "Il valore minimo non può essere minore del valore massimo!", ClassMessage::NoFocus},
        {"5", "20", "Scrivere un numero compreso tra 10 e 30", ClassMessage::MinBox},
        {"10", "31", "Scrivere un numero compreso tra 10 e 30", ClassMessage::MaxBox},
        {"", "20", "Scrivere un numero compreso tra 10 e 30", ClassMessage::MinBox},  // empty reads "0"
        {"10,,5", "20", classmsg::NotANumber, ClassMessage::MinBox},
    };
    for (const Case &c : cases) {
        ClassBoxes boxes{c.min, c.max};
        const ManualStep step = ManualClass(boxes, stats, 0);
        ASSERT_TRUE(step.message) << c.min.toStdString();
        EXPECT_EQ(step.message->text, c.message);
        EXPECT_EQ(step.message->style, forms::vbInformation);
        EXPECT_EQ(step.message->focus, c.focus) << c.min.toStdString();
        EXPECT_FALSE(step.added);
    }
    EXPECT_EQ(vbtest::errorOf([] { LabelBounds("Da x a 3"); }), 13);
}
