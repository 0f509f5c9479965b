// cls_Titolo, cls_Bordo and cls_Leggenda: start values, the growing legend and its errors.
#include "KvrFixture.h"

namespace kvrtest {
namespace {

template <class B>
class PrintLayoutValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        legend = com::createInstance<kvr::_cls_Leggenda>(B::CLSID_cls_Leggenda, B::IID_cls_Leggenda);
        ASSERT_TRUE(legend);
    }

    qint32 add(const QString &fontName, const QString &fontSize, const QString &text, float x = 1.5f)
    {
        QString name = fontName, size = fontSize, testo = text;
        double color = 255, quadrato = 65280;
        float y = 2.25f;
        kvr::_cls_Leggenda *result = legend.get();  // must come back empty
        const qint32 err = errorOf([&] {
            return legend->add(&name, &size, &color, &quadrato, &testo, &x, &y, &result);
        });
        EXPECT_EQ(result, nullptr);
        return err;
    }

    qint32 count()
    {
        qint32 n = -1;
        com::check(legend->get_Count(&n));
        return n;
    }

    com::Ptr<kvr::_cls_Leggenda> legend;
};

TYPED_TEST_SUITE(PrintLayoutValuesTest, Builds, BuildName);

TYPED_TEST(PrintLayoutValuesTest, TitleAndBorderStartEmptyAndKeepWhatIsPut)
{
    auto title = com::createInstance<kvr::_cls_Titolo>(TypeParam::CLSID_cls_Titolo, TypeParam::IID_cls_Titolo);
    float f = -1;
    QString s = QStringLiteral("x");
    double d = -1;
    com::check(title->get_y(&f));
    EXPECT_EQ(f, 0);
    com::check(title->get_X(&f));
    EXPECT_EQ(f, 0);
    for (auto getter : {&kvr::_cls_Titolo::get_FontSize, &kvr::_cls_Titolo::get_FontName, &kvr::_cls_Titolo::get_Testo}) {
        s = QStringLiteral("x");
        com::check((title.get()->*getter)(&s));
        EXPECT_TRUE(s.isEmpty());
    }
    com::check(title->get_Colore(&d));
    EXPECT_EQ(d, 0);

    com::check(title->put_y(1.25f));
    com::check(title->put_X(3.5f));
    com::check(title->put_FontSize(QStringLiteral("14")));
    com::check(title->put_FontName(QStringLiteral("Arial")));
    com::check(title->put_Testo(QStringLiteral("Popolazione")));
    com::check(title->put_Colore(16711680.0));
    com::check(title->get_y(&f));
    EXPECT_EQ(f, 1.25f);
    com::check(title->get_X(&f));
    EXPECT_EQ(f, 3.5f);
    com::check(title->get_FontSize(&s));
    EXPECT_EQ(s, QStringLiteral("14"));
    com::check(title->get_FontName(&s));
    EXPECT_EQ(s, QStringLiteral("Arial"));
    com::check(title->get_Testo(&s));
    EXPECT_EQ(s, QStringLiteral("Popolazione"));
    com::check(title->get_Colore(&d));
    EXPECT_EQ(d, 16711680.0);

    auto border = com::createInstance<kvr::_cls_Bordo>(TypeParam::CLSID_cls_Bordo, TypeParam::IID_cls_Bordo);
    using Put = com::HRESULT (kvr::_cls_Bordo::*)(float);
    using Get = com::HRESULT (kvr::_cls_Bordo::*)(float *);
    struct Member { Put put; Get get; float value; };
    const Member members[] = {
        {&kvr::_cls_Bordo::put_MargineSuperiore, &kvr::_cls_Bordo::get_MargineSuperiore, 0.5f},
        {&kvr::_cls_Bordo::put_MargineInferiore, &kvr::_cls_Bordo::get_MargineInferiore, 0.75f},
        {&kvr::_cls_Bordo::put_MargineDestro, &kvr::_cls_Bordo::get_MargineDestro, 1.0f},
        {&kvr::_cls_Bordo::put_MargineSinistro, &kvr::_cls_Bordo::get_MargineSinistro, 1.25f},
        {&kvr::_cls_Bordo::put_X, &kvr::_cls_Bordo::get_X, 2.0f},
    };
    for (const Member &m : members) {
        f = -1;
        com::check((border.get()->*m.get)(&f));
        EXPECT_EQ(f, 0);
    }
    com::check(border->get_Colore(&d));
    EXPECT_EQ(d, 0);
    // Put every member first, so a setter that writes a neighbour's field shows.
    for (const Member &m : members)
        com::check((border.get()->*m.put)(m.value));
    com::check(border->put_Colore(255.0));
    for (const Member &m : members) {
        com::check((border.get()->*m.get)(&f));
        EXPECT_EQ(f, m.value);
    }
    com::check(border->get_Colore(&d));
    EXPECT_EQ(d, 255.0);
}

TYPED_TEST(PrintLayoutValuesTest, LegendGrowsByOneEntryPerAdd)
{
    EXPECT_EQ(this->count(), 0);
    ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("fino a 10"), 1.0f), 0);
    ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("10"), QStringLiteral("da 10 a 20"), 2.0f), 0);
    ASSERT_EQ(this->add(QStringLiteral("Tahoma"), QStringLiteral("12"), QStringLiteral("oltre 20"), 3.0f), 0);
    EXPECT_EQ(this->count(), 3);

    qint16 index = 2;
    QString s;
    qint16 size = 0;
    float f = 0;
    double d = 0;
    com::check(this->legend->get_FontName(&index, &s));
    EXPECT_EQ(s, QStringLiteral("Tahoma"));
    com::check(this->legend->get_FontSize(&index, &size));
    EXPECT_EQ(size, 12);
    com::check(this->legend->get_Testo(&index, &s));
    EXPECT_EQ(s, QStringLiteral("oltre 20"));
    com::check(this->legend->get_X(&index, &f));
    EXPECT_EQ(f, 3.0f);
    com::check(this->legend->get_y(&index, &f));
    EXPECT_EQ(f, 2.25f);
    com::check(this->legend->get_Color(&index, &d));
    EXPECT_EQ(d, 255);
    com::check(this->legend->get_QColor(&index, &d));
    EXPECT_EQ(d, 65280);

    // Puts replace one element of one array.
    index = 1;
    com::check(this->legend->put_Testo(&index, QStringLiteral("nuovo")));
    com::check(this->legend->put_QColor(&index, 7.0));
    com::check(this->legend->get_Testo(&index, &s));
    EXPECT_EQ(s, QStringLiteral("nuovo"));
    com::check(this->legend->get_QColor(&index, &d));
    EXPECT_EQ(d, 7.0);
    index = 0;
    com::check(this->legend->get_Testo(&index, &s));
    EXPECT_EQ(s, QStringLiteral("fino a 10"));

    // Remove does nothing, whatever the key.
    for (vb::Variant key : {vb::Variant(qint16(0)), vb::Variant(QStringLiteral("x")), vb::Variant()}) {
        com::check(this->legend->Remove(&key));
        EXPECT_EQ(this->count(), 3);
    }
    index = 0;
    com::check(this->legend->get_FontName(&index, &s));
    EXPECT_EQ(s, QStringLiteral("Arial"));
}

TYPED_TEST(PrintLayoutValuesTest, IndexesOutsideTheEntriesRaiseError9)
{
    qint16 index = 0;
    QString s;
    EXPECT_EQ(errorOf([&] { return this->legend->get_FontName(&index, &s); }), vb::err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { return this->legend->put_X(&index, 1.0f); }), vb::err::SubscriptOutOfRange);
    ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("a")), 0);
    ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("b")), 0);
    for (qint16 bad : {qint16(-1), qint16(2), qint16(32767)}) {
        SCOPED_TRACE(bad);
        index = bad;
        qint16 size = 0;
        double d = 0;
        EXPECT_EQ(errorOf([&] { return this->legend->get_FontSize(&index, &size); }), vb::err::SubscriptOutOfRange);
        EXPECT_EQ(errorOf([&] { return this->legend->get_Color(&index, &d); }), vb::err::SubscriptOutOfRange);
        EXPECT_EQ(errorOf([&] { return this->legend->put_Testo(&index, QStringLiteral("z")); }),
                  vb::err::SubscriptOutOfRange);
    }
}

TYPED_TEST(PrintLayoutValuesTest, FontSizeThatIsNoNumberFailsAndTheSlotIsReused)
{
    ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("primo")), 0);
    EXPECT_EQ(this->add(QStringLiteral("Courier"), QStringLiteral("grande"), QStringLiteral("perso")),
              vb::err::TypeMismatch);
    EXPECT_EQ(this->count(), 1);
    qint16 index = 1;
    QString s;
    EXPECT_EQ(errorOf([&] { return this->legend->get_FontName(&index, &s); }), vb::err::SubscriptOutOfRange);

    ASSERT_EQ(this->add(QStringLiteral("Verdana"), QStringLiteral("9"), QStringLiteral("secondo")), 0);
    EXPECT_EQ(this->count(), 2);
    com::check(this->legend->get_FontName(&index, &s));
    EXPECT_EQ(s, QStringLiteral("Verdana"));
    com::check(this->legend->get_Testo(&index, &s));
    EXPECT_EQ(s, QStringLiteral("secondo"));
}

TYPED_TEST(PrintLayoutValuesTest, EntryNumber32768Overflows)
{
    for (int i = 0; i < 32767; ++i)
        ASSERT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("v")), 0) << i;
    EXPECT_EQ(this->count(), 32767);
    EXPECT_EQ(this->add(QStringLiteral("Arial"), QStringLiteral("8"), QStringLiteral("troppo")), vb::err::Overflow);
    EXPECT_EQ(this->count(), 32767);
    qint16 index = 32766;
    QString s;
    com::check(this->legend->get_Testo(&index, &s));
    EXPECT_EQ(s, QStringLiteral("v"));
}

}  // namespace
}  // namespace kvrtest
