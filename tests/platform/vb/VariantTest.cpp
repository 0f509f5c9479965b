// Variant: arrays (undimensioned vs dimensioned, bounds, ReDim Preserve), deep copies, equality.
#include "ErrorOf.h"
#include "vb/Error.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <new>

using vb::Variant;
using vbtest::errorOf;

TEST(VariantArray, UndimensionedDiffersFromOneEmptyElement)
{
    const Variant none = Variant::undimensionedArray();
    const Variant one = Variant::array({Variant()});

    EXPECT_TRUE(none.isArray());
    EXPECT_FALSE(none.isDimensioned());
    EXPECT_EQ(none.size(), 0);
    EXPECT_EQ(errorOf([&] { none.uBound(); }), vb::err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { none.lBound(); }), vb::err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { none.at(0); }), vb::err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { none.items(); }), vb::err::SubscriptOutOfRange);

    EXPECT_TRUE(one.isDimensioned());
    EXPECT_EQ(one.lBound(), 0);
    EXPECT_EQ(one.uBound(), 0);
    EXPECT_TRUE(one.at(0).isEmpty());
    EXPECT_NE(none, one);

    // An array dimensioned with no elements has bounds 0..-1, still not the undimensioned one.
    const Variant zero = Variant::array({});
    EXPECT_TRUE(zero.isDimensioned());
    EXPECT_EQ(zero.uBound(), -1);
    EXPECT_NE(zero, none);
}

TEST(VariantArray, AtChecksBoundsAndType)
{
    Variant a = Variant::array({Variant(1), Variant("due"), Variant(3.0)});
    EXPECT_EQ(a.at(1), Variant("due"));
    a.at(2) = Variant(true);
    EXPECT_EQ(a.at(2), Variant(true));
    for (int index : {-1, 3, 100})
        EXPECT_EQ(errorOf([&] { a.at(index); }), vb::err::SubscriptOutOfRange) << index;

    const Variant scalar(5);
    EXPECT_EQ(errorOf([&] { scalar.at(0); }), vb::err::TypeMismatch);
    EXPECT_EQ(errorOf([&] { scalar.uBound(); }), vb::err::TypeMismatch);
    EXPECT_EQ(errorOf([&] { scalar.isDimensioned(); }), vb::err::TypeMismatch);
}

TEST(VariantArray, RedimPreserveKeepsContents)
{
    Variant a = Variant::undimensionedArray();
    a.redimPreserve(0);  // the first element of a list being built
    a.at(0) = Variant("a");
    a.redimPreserve(2);
    a.at(2) = Variant("c");
    EXPECT_EQ(a, Variant::array({Variant("a"), Variant(), Variant("c")}));

    a.redimPreserve(1);
    EXPECT_EQ(a, Variant::array({Variant("a"), Variant()}));

    EXPECT_EQ(errorOf([&] { a.redimPreserve(-1); }), vb::err::SubscriptOutOfRange);
    Variant scalar(1);
    EXPECT_EQ(errorOf([&] { scalar.redimPreserve(3); }), vb::err::TypeMismatch);
}

TEST(VariantArray, CopiesAreDeep)
{
    Variant inner = Variant::array({Variant(1)});
    Variant outer = Variant::array({inner, Variant("x")});

    Variant copy = outer;
    copy.at(0).at(0) = Variant(99);
    copy.at(1) = Variant("y");
    EXPECT_EQ(outer.at(0).at(0), Variant(1));
    EXPECT_EQ(outer.at(1), Variant("x"));

    Variant assigned;
    assigned = outer;
    assigned.at(0).redimPreserve(4);
    EXPECT_EQ(outer.at(0).uBound(), 0);

    // Assigning an array its own element must not read freed storage.
    outer = outer.at(0);
    EXPECT_EQ(outer, inner);

    Variant moved = std::move(copy);
    EXPECT_EQ(moved.at(1), Variant("y"));
    EXPECT_TRUE(copy.isEmpty());  // NOLINT: the moved-from value is defined to be Empty
}

TEST(VariantEquality, SameTypeAndPayload)
{
    EXPECT_EQ(Variant(), Variant());
    EXPECT_EQ(Variant::null(), Variant::null());
    EXPECT_NE(Variant(), Variant::null());
    EXPECT_NE(Variant(1), Variant(1.0));  // Long vs Double
    EXPECT_NE(Variant(qint16(1)), Variant(1));
    EXPECT_NE(Variant(""), Variant());
    EXPECT_EQ(Variant("è"), Variant(QStringLiteral("è")));
    EXPECT_EQ(Variant::undimensionedArray(), Variant::undimensionedArray());
}

TEST(VariantKinds, TypesAndConvenienceConversions)
{
    EXPECT_EQ(Variant(qint16(1)).type(), vb::VarType::Integer);
    EXPECT_EQ(Variant(1).type(), vb::VarType::Long);
    EXPECT_EQ(Variant(1.0f).type(), vb::VarType::Single);
    EXPECT_EQ(Variant(1.0).type(), vb::VarType::Double);
    EXPECT_EQ(Variant(true).type(), vb::VarType::Boolean);
    EXPECT_TRUE(Variant(1.0f).isNumber());
    EXPECT_FALSE(Variant(true).isNumber());
    EXPECT_FALSE(Variant("1").isNumber());

    EXPECT_EQ(Variant(2.5).toInteger(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant("7").toDouble(), 7);
    EXPECT_TRUE(Variant(-1).toBool());
    EXPECT_EQ(Variant().toString(), "");
    EXPECT_EQ(errorOf([] { Variant::null().toString(); }), vb::err::InvalidUseOfNull);
}

// The texts an Italian system shows; a subject fills the texts that name one.
TEST(ErrorNumbers, StandardDescriptionsAreItalian)
{
    struct Case {
        qint32 number;
        QString subject;
        const char *text;
    };
    const Case cases[] = {
        {vb::err::Overflow, {}, "Overflow"},
        {vb::err::SubscriptOutOfRange, {}, "Indice non compreso nell'intervallo"},
        {vb::err::DivisionByZero, {}, "Divisione per zero"},
        {vb::err::TypeMismatch, {}, "Tipo non corrispondente"},
        {vb::err::TypeMismatch, "x", "Tipo non corrispondente"},  // a text with no room for a subject
        {vb::err::FileNotFound, {}, "Impossibile trovare il file"},
        {vb::err::FileNotFound, "/dati/Metadati.mdb", "Impossibile trovare il file '/dati/Metadati.mdb'."},
        {vb::err::DiskFull, {}, "Il disco è pieno"},
        {vb::err::PathNotFound, {}, "Impossibile trovare il percorso"},
        {vb::err::InvalidUseOfNull, {}, "Utilizzo non valido di Null"},
        {vb::err::ItemNotFound, {}, "Elemento non trovato nell'insieme."},
        {vb::err::NoCurrentRecord, {}, "Nessun record corrente."},
        {3024, "/dati/Settore.mdb", "Impossibile trovare il file '/dati/Settore.mdb'."},
        {3078, "Settore", "Il motore di database non è in grado di trovare la tabella o la query 'Settore'."},
        {3704, {}, "Operazione non consentita se l'oggetto è chiuso."},
        {3709, {}, "La connessione è chiusa."},
        {35602, {}, "La chiave non è univoca nell'insieme"},
        {vb::err::EngineRefused, {}, "Errore non specificato"},
        {123456, {}, "Errore definito dall'applicazione o dall'oggetto"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(vb::Error::standardDescription(c.number, c.subject), QString::fromUtf8(c.text)) << c.number;

    const vb::Error e = vb::Error::of(vb::err::TypeMismatch, "Utility", QString(), "Type mismatch");
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.description(), "Tipo non corrispondente");
    EXPECT_EQ(e.detail(), "Type mismatch");
    EXPECT_EQ(e.source(), "Utility");
    EXPECT_STREQ(e.what(), "Tipo non corrispondente");

    const vb::Error memory = vb::Error::of(std::bad_alloc());
    EXPECT_EQ(memory.number(), 7);
    EXPECT_EQ(memory.description(), "Memoria esaurita");
    EXPECT_FALSE(memory.detail().isEmpty());
}
