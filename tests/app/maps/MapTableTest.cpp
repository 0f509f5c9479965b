// The map table tMappa of the user database: fields per map kind, rows, precision, removal.
#include "app/maps/MapTable.h"

#include "vb/Conversions.h"
#include "platform/vb/ErrorOf.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pendra;

namespace {

const QString Password = QStringLiteral("mirabella1994");

class MapTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
        jet::Database::create(files() + "qxt_utente.mdb", Password).close();
    }
    void TearDown() override { vb::resetUserLocale(); }

    QString files() const { return dir.path() + "/"; }
    MapTable table() const { return MapTable(files(), "MS Access;pwd=" + Password); }
    // Rows of tMappa as "code|value|class", ordered as written.
    QStringList rows() const
    {
        jet::Database db = table().OpenUserDb();
        jet::Recordset rs = db.openRecordset("select * from tMappa");
        QStringList out;
        for (; !rs.eof(); rs.moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs.fieldCount(); ++i)
                cells << (rs.value(i).isNull() ? QStringLiteral("<null>") : vb::CStr(rs.value(i)));
            out << cells.join('|');
        }
        return out;
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(MapTableTest, FieldsFollowTheMapKind)
{
    struct Case { int kind; QVector<jet::FieldType> types; };
    const Case cases[] = {
        {2, {jet::FieldType::Single, jet::FieldType::Double, jet::FieldType::Integer}},
        {3, {jet::FieldType::Text, jet::FieldType::Double, jet::FieldType::Integer}},
        {4, {jet::FieldType::Text, jet::FieldType::Double, jet::FieldType::Integer}},
    };
    for (const Case &c : cases) {
        table().SaveMapQuery(c.kind, "AS013_2005");
        const auto td = table().OpenUserDb().tableDef("tMappa");
        ASSERT_TRUE(td);
        ASSERT_EQ(td->fields.size(), 3);
        EXPECT_EQ(td->fields[0].name, "N_QUIRN");
        EXPECT_EQ(td->fields[1].name, "AS013_2005");
        EXPECT_EQ(td->fields[2].name, "N4");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(td->fields[i].type, c.types[i]) << c.kind << " field " << i;
    }
}

TEST_F(MapTableTest, RowsKeepCodesValuesAndMissingClasses)
{
    const MapColumn cells{"AS013_2005", "", "1,5", "10234567,89", "7"};
    const QStringList codes{"PROV", "5", "1", "13", "103"};
    const auto rows = MapTableRows(codes, cells, 2, 5, [](int, double value) -> std::optional<int> {
        if (value > 100)
            return std::nullopt;
        return value < 2 ? 1 : 2;
    });
    table().SaveMapQuery(2, "AS013_2005");
    table().FillMapQuery(2, rows);
    EXPECT_EQ(this->rows(), QStringList({"1|1,5|1", "13|10234567,89|<null>", "103|7|2"}));

    table().SaveMapQuery(4, "IAS013_2005");
    table().FillMapQuery(4, {{"010", 2.5, 1}});
    EXPECT_EQ(this->rows(), QStringList({"010|2,5|1"}));  // re-created: the earlier rows are gone
}

TEST_F(MapTableTest, AFailedFillLeavesNoRowAndDropRemovesTheTable)
{
    table().SaveMapQuery(2, "AS013_2005");
    EXPECT_EQ(vbtest::errorOf([&] { table().FillMapQuery(2, {{"1", 3, 1}, {"x", 4, 1}}); }), 13);
    EXPECT_TRUE(rows().isEmpty());

    EXPECT_TRUE(table().exists());
    table().DeleteMapQuery();
    EXPECT_FALSE(table().exists());
    EXPECT_NO_THROW(table().DeleteMapQuery());
    EXPECT_EQ(vbtest::errorOf([&] { MapTableRows({"", "1"}, {"h", "abc"}, 1, 2, [](int, double) { return 1; }); }),
              13);
}

TEST_F(MapTableTest, OneObjectRecreatesFillsAndDropsThroughItsOwnHandle)
{
    // As a drawing does: one object, its handle kept open between the calls; others read meanwhile.
    const MapTable drawing = table();
    drawing.DeleteMapQuery();
    drawing.SaveMapQuery(2, "AS013_2005");
    drawing.FillMapQuery(2, {{"1", 1.5, 1}, {"13", 7, std::nullopt}});
    EXPECT_EQ(rows(), QStringList({"1|1,5|1", "13|7|<null>"}));
    drawing.SaveMapQuery(3, "IAS013_2005");
    drawing.FillMapQuery(3, {{"ITC1", 2.5, 2}});
    EXPECT_EQ(rows(), QStringList({"ITC1|2,5|2"}));
    EXPECT_EQ(table().OpenUserDb().tableDef("tMappa")->fields[0].type, jet::FieldType::Text);
    drawing.DeleteMapQuery();
    EXPECT_FALSE(table().exists());
    EXPECT_TRUE(drawing.UserDb().isOpen());
}

TEST_F(MapTableTest, ABatchWritesOnceAndKeepsWhatEachCallDidAsCallByCall)
{
    table().SaveMapQuery(2, "AS013_2005");
    table().FillMapQuery(2, {{"9", 9, 1}});
    {
        const MapTable drawing = table();
        MapTable::Batch batch(drawing);
        drawing.DeleteMapQuery();
        drawing.SaveMapQuery(2, "AS013_2005");
        drawing.FillMapQuery(2, {{"1", 1.5, 1}, {"13", 7, std::nullopt}});
        EXPECT_EQ(rows(), QStringList({"9|9|1"}));  // another handle sees nothing before the end
        batch.finish();
        EXPECT_EQ(rows(), QStringList({"1|1,5|1", "13|7|<null>"}));
    }
    {
        // A failed fill undoes its own rows only; the re-created table stays, empty.
        const MapTable drawing = table();
        MapTable::Batch batch(drawing);
        drawing.SaveMapQuery(2, "AS013_2005");
        EXPECT_EQ(vbtest::errorOf([&] { drawing.FillMapQuery(2, {{"1", 3, 1}, {"x", 4, 1}}); }), 13);
        batch.finish();
        EXPECT_TRUE(table().exists());
        EXPECT_TRUE(rows().isEmpty());
    }
    table().FillMapQuery(2, {{"9", 9, 1}});
    EXPECT_EQ(vbtest::errorOf([&] {
                  // Left by an error before finish: the drop and the re-creation stay written.
                  const MapTable drawing = table();
                  MapTable::Batch batch(drawing);
                  drawing.SaveMapQuery(3, "IAS013_2005");
                  throw vb::Error::of(vb::err::TypeMismatch, QStringLiteral("test"));
              }),
              13);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(table().OpenUserDb().tableDef("tMappa")->fields[0].type, jet::FieldType::Text);
}
