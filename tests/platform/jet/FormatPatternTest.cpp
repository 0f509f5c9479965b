// Format patterns read once per statement: every value writes exactly as the runtime's Format
// writes it, in the statement and outside it.
#include "JetTestSupport.h"

#include "jet/FormatPattern.h"
#include "vb/Conversions.h"

#include <gtest/gtest.h>

#include <random>

using namespace jettest;

namespace {

TEST(FormatPattern, WritesWhatTheRuntimeWrites)
{
    std::mt19937_64 random(1994);
    std::uniform_real_distribution<double> scale(-12, 12);
    QVector<double> values = {0.0,    -0.0,    2.125,  2.675,   -2.125, 0.005,    0.0049999, -0.004,  0.5,
                              -0.5,   9.995,   99.995, 999.5,   1e15,   -1e20,    1.5e300,   5e-324,  1e-5,
                              123.45, -123.45, 0.125,  1234567, 0.045,  -0.0051, 1.0 / 3,   2.0 / 3, 1e22};
    for (int i = 0; i < 3000; ++i) {
        const double magnitude = std::pow(10.0, scale(random));
        values << (i % 2 ? -magnitude : magnitude);
        values << std::round(magnitude * 1000) / 1000;  // ties at the third decimal
        values << std::round(magnitude * 100) / 100 << std::round(magnitude * 10) / 10 + 0.05;
        values << std::round(magnitude * 1e5) / 1e5 << -std::round(magnitude * 1e7) / 1e7;
    }
    for (const QLocale &locale : {QLocale(QLocale::Italian, QLocale::Italy), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        vb::setUserLocale(locale);
        for (const char *text : {"0", "0.00", "0.0000", ".00", "000.0", "00", "0.", "0.000000000000"}) {
            const jet::FormatPattern pattern{QString::fromLatin1(text)};
            for (double v : values) {
                char out[jet::FormatPattern::MaxFixedLength];
                const int length = pattern.fixed(v, out);
                ASSERT_GE(length, 0) << text;
                EXPECT_EQ(QString::fromUtf8(out, length), vb::Format(vb::Variant(v), QString::fromLatin1(text)))
                    << text << " " << v;
            }
        }
    }
    vb::resetUserLocale();
    // Other patterns and values are the runtime's own work.
    char out[jet::FormatPattern::MaxFixedLength];
    EXPECT_EQ(jet::FormatPattern("#,##0.00").fixed(1.5, out), -1);
    EXPECT_EQ(jet::FormatPattern("Fixed").fixed(1.5, out), -1);
    EXPECT_EQ(jet::FormatPattern("0.00").fixed(std::numeric_limits<double>::infinity(), out), -1);
    EXPECT_EQ(jet::FormatPattern("0." + QString(400, u'0')).fixed(1.5, out), -1);
}

TEST(FormatPattern, EachStatementReadsThePatternInItsOwnLocale)
{
    Folder folder;
    const QString path = folder.database("u.mdb", {"CREATE TABLE T (v DOUBLE, t TEXT)", "INSERT INTO T VALUES (2.125, '3,5')",
                                                   "INSERT INTO T VALUES (NULL, 'testo')"});
    jet::Connection cn;
    cn.open(odbc(path));
    const auto run = [&](const QString &sql) {
        jet::Recordset rs;
        rs.open(sql, cn);
        return rows(rs);
    };
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(run("select Format(v, '0.00'), Format(v, '0.0'), Format(t, '0.00') from T"),
              (QStringList{"2,13|2,1|3,50", "<null>|<null>|testo"}));
    EXPECT_EQ(run("select Format(v, '#,##0.0000') from T where v > 0"), QStringList{"2,1250"});
    vb::setUserLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(run("select Format(v, '0.00') from T where v > 0"), QStringList{"2.13"});
    vb::resetUserLocale();
}

}  // namespace
