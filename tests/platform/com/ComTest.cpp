// Identifiers, status codes and error info of the component model.
#include "com/Com.h"
#include "vb/Error.h"

#include <gtest/gtest.h>

namespace {

TEST(Guid, ParsesEverySpellingOfOneIdentifier)
{
    const QString canonical = QStringLiteral("{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}");
    for (const char *text : {"{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "{fbe49caf-3e79-43c4-a6f4-ecaa8dc1b97e}",
                             "FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E", "  {FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E} "}) {
        SCOPED_TRACE(text);
        const com::Guid g = com::Guid::parse(QString::fromLatin1(text));
        EXPECT_FALSE(g.isNull());
        EXPECT_EQ(g.toString(), canonical);
        EXPECT_EQ(g, com::Guid::parse(canonical));
    }
    const com::Guid g = com::Guid::parse(canonical);
    EXPECT_EQ(g.data1, 0xFBE49CAFu);
    EXPECT_EQ(g.data2, 0x3E79);
    EXPECT_EQ(g.data4[0], 0xA6);
    EXPECT_EQ(g.data4[7], 0x7E);
    EXPECT_NE(g, com::Guid::parse(QStringLiteral("{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97F}")));
}

TEST(Guid, RejectsMalformedText)
{
    for (const char *text : {"", "{}", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97}", "FBE49CAF3E7943C4A6F4ECAA8DC1B97E",
                             "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E", "FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}",
                             "{GBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E0}"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(com::Guid::parse(QString::fromLatin1(text)).isNull());
    }
    EXPECT_EQ(com::Guid().toString(), QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
}

TEST(StatusCode, RuntimeErrorsTravelInTheirOwnFacility)
{
    struct Case { qint32 number; quint32 hr; };
    for (const Case &c : {Case{9, 0x800A0009u}, Case{13, 0x800A000Du}, Case{6, 0x800A0006u},
                          Case{3265, 0x800A0CC1u}, Case{static_cast<qint32>(0x80004005), 0x80004005u}}) {
        SCOPED_TRACE(c.number);
        const com::HRESULT hr = com::hresultFromVbError(c.number);
        EXPECT_EQ(static_cast<quint32>(hr), c.hr);
        EXPECT_TRUE(com::failed(hr));
        EXPECT_EQ(com::vbErrorFromHresult(hr), c.number);
    }
    EXPECT_EQ(com::hresultFromVbError(0), com::S_OK);
}

class CheckTest : public ::testing::Test {
protected:
    void TearDown() override { com::clearErrorInfo(); }

    static vb::Error thrownBy(com::HRESULT hr)
    {
        try {
            com::check(hr);
        } catch (const vb::Error &e) {
            return e;
        }
        ADD_FAILURE() << "check did not throw";
        return vb::Error(0, QString());
    }
};

TEST_F(CheckTest, SuccessCodesDoNotThrow)
{
    com::setErrorInfo(9, QStringLiteral("left over"), QString());
    EXPECT_NO_THROW(com::check(com::S_OK));
    EXPECT_NO_THROW(com::check(com::S_FALSE));
}

TEST_F(CheckTest, RaisesTheComponentsErrorInfo)
{
    com::setErrorInfo(9, QStringLiteral("Indice non valido"), QStringLiteral("KVR_UTIL.DBInform"));
    const vb::Error e = thrownBy(com::hresultFromVbError(9));
    EXPECT_EQ(e.number(), 9);
    EXPECT_EQ(e.description(), QStringLiteral("Indice non valido"));
    EXPECT_EQ(e.source(), QStringLiteral("KVR_UTIL.DBInform"));
    // The info is used once: the same code again gets the standard text.
    EXPECT_EQ(thrownBy(com::hresultFromVbError(9)).description(), vb::Error::standardDescription(9));
}

TEST_F(CheckTest, IgnoresErrorInfoOfAnotherFailure)
{
    com::setErrorInfo(13, QStringLiteral("stale"), QStringLiteral("old"));
    const vb::Error e = thrownBy(com::hresultFromVbError(9));
    EXPECT_EQ(e.number(), 9);
    EXPECT_EQ(e.description(), vb::Error::standardDescription(9));
}

TEST_F(CheckTest, OtherStatusCodesKeepTheirNumber)
{
    const vb::Error e = thrownBy(com::E_NOINTERFACE);
    EXPECT_EQ(e.number(), com::E_NOINTERFACE);
    EXPECT_TRUE(e.description().contains(QStringLiteral("80004002"))) << e.description().toStdString();
}

}  // namespace
