// Connect strings of the three forms the program writes.
#include "jet/ConnectString.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectString, ParsesTheThreeForms)
{
    struct Case {
        const char *text;
        const char *path;
        const char *password;
    } cases[] = {
        // The blank after "Dbq=" belongs to the prefix and is not part of the path.
        {"Driver={Microsoft Access Driver (*.mdb)};Pwd=mirabella1994;Dbq= /data/Metadati.mdb",
         "/data/Metadati.mdb", "mirabella1994"},
        {"MS Access;pwd=mirabella1994", "", "mirabella1994"},
        {"ms access;pwd=mirabella1994;DATABASE=/data/Territorio.mdb ", "/data/Territorio.mdb", "mirabella1994"},
        {"ms access;PWD=;database=/a b/x.mdb", "/a b/x.mdb", ""},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        const jet::ConnectInfo info = jet::parseConnectString(QString::fromUtf8(c.text));
        EXPECT_EQ(info.path, QString::fromUtf8(c.path)) << c.text;
        EXPECT_EQ(info.password, QString::fromUtf8(c.password)) << c.text;
    }
}

}  // namespace
