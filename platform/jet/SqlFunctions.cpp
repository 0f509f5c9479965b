// Implementations of the Jet SQL functions over the runtime's own conversions.
#include "SqlFunctions.h"

#include "FormatPattern.h"
#include "Session.h"

#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/Variant.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <optional>

namespace jet {

namespace {

constexpr qint32 InvalidCall = 5;  // the runtime's "Invalid procedure call or argument"

[[noreturn]] void runtimeError(qint32 number)
{
    throw vb::Error::of(number, QStringLiteral("jet"));
}

vb::Variant argument(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return vb::Variant::null();
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_value_int64(value);
        if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
            return vb::Variant(static_cast<qint32>(v));
        return vb::Variant(static_cast<double>(v));
    }
    case SQLITE_FLOAT:
        return vb::Variant(sqlite3_value_double(value));
    default:
        return vb::Variant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)),
                                             sqlite3_value_bytes(value)));
    }
}

void setResult(sqlite3_context *ctx, const vb::Variant &v)
{
    switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
    case vb::VarType::Array:
        sqlite3_result_null(ctx);
        break;
    case vb::VarType::Integer:
    case vb::VarType::Long:
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(v.rawNumber()));
        break;
    case vb::VarType::Boolean:
        sqlite3_result_int(ctx, v.rawNumber() != 0 ? -1 : 0);
        break;
    case vb::VarType::Single:
    case vb::VarType::Double:
        sqlite3_result_double(ctx, v.rawNumber());
        break;
    case vb::VarType::String: {
        const QByteArray text = v.rawString().toUtf8();
        sqlite3_result_text(ctx, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    }
}

// A numeric operand: Null stays absent, texts convert in the user's locale (error 13).
std::optional<double> number(const vb::Variant &v)
{
    if (v.isNull())
        return std::nullopt;
    if (v.type() == vb::VarType::Boolean)
        return v.rawNumber() != 0 ? -1.0 : 0.0;
    if (v.isNumber())
        return v.rawNumber();
    return vb::CDbl(v);
}

// An operand of \ and Mod: rounded to a whole number as the runtime does.
std::optional<double> whole(const vb::Variant &v)
{
    const auto n = number(v);
    if (!n)
        return std::nullopt;
    return static_cast<double>(vb::CLng(vb::Variant(*n)));
}

QString text(const vb::Variant &v)
{
    return v.isString() ? v.rawString() : vb::CStr(v);
}

vb::Variant integerResult(double value)
{
    if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max())
        return vb::Variant(static_cast<qint32>(value));
    return vb::Variant(value);
}

bool truth(const vb::Variant &v)
{
    if (v.isNull() || v.isEmpty())
        return false;
    return vb::CBool(v);
}

// "%" any run of characters, "_" one character. On a mismatch only the latest "%" takes one
// more character: what earlier ones matched cannot help, so the time stays within text × pattern.
bool likeMatch(const QString &s, const QString &p)
{
    qsizetype si = 0;
    qsizetype pi = 0;
    qsizetype star = -1;  // pattern position after the latest "%"
    qsizetype starText = 0;  // text position that "%" has reached
    while (si < s.size()) {
        if (pi < p.size() && p.at(pi) == u'%') {
            star = ++pi;
            starText = si;
        } else if (pi < p.size() && (p.at(pi) == u'_' || p.at(pi) == s.at(si))) {
            ++si;
            ++pi;
        } else if (star >= 0) {
            pi = star;
            si = ++starText;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p.at(pi) == u'%')
        ++pi;
    return pi == p.size();
}

using Body = vb::Variant (*)(const QVector<vb::Variant> &args);

struct FunctionDef {
    const char *name;
    int arity;  // -1: any
    Body body;
};

vb::Variant fnFormat(const QVector<vb::Variant> &a)
{
    if (a[0].isNull())
        return vb::Variant::null();
    const QString pattern = a.size() > 1 && !a[1].isNull() ? text(a[1]) : QString();
    if (pattern.isEmpty())
        return vb::Variant(text(a[0]));
    return vb::Variant(vb::Format(a[0], pattern));
}

vb::Variant fnConcat(const QVector<vb::Variant> &a)
{
    // Any number of operands (a run of &): Null only when all are Null.
    QString out;
    bool any = false;
    for (const vb::Variant &v : a) {
        if (!v.isNull()) {
            out += text(v);
            any = true;
        }
    }
    return any ? vb::Variant(out) : vb::Variant::null();
}

vb::Variant fnPow(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    const auto y = number(a[1]);
    if (!x || !y)
        return vb::Variant::null();
    const double r = std::pow(*x, *y);
    if (std::isnan(r))
        runtimeError(InvalidCall);
    if (std::isinf(r))
        runtimeError(vb::err::Overflow);
    return vb::Variant(r);
}

vb::Variant fnDiv(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    const auto y = number(a[1]);
    if (!x || !y)
        return vb::Variant::null();
    if (*y == 0)
        runtimeError(vb::err::DivisionByZero);
    return vb::Variant(*x / *y);
}

vb::Variant fnIntDiv(const QVector<vb::Variant> &a)
{
    const auto x = whole(a[0]);
    const auto y = whole(a[1]);
    if (!x || !y)
        return vb::Variant::null();
    if (*y == 0)
        runtimeError(vb::err::DivisionByZero);
    return integerResult(std::trunc(*x / *y));
}

vb::Variant fnMod(const QVector<vb::Variant> &a)
{
    const auto x = whole(a[0]);
    const auto y = whole(a[1]);
    if (!x || !y)
        return vb::Variant::null();
    if (*y == 0)
        runtimeError(vb::err::DivisionByZero);
    return integerResult(std::fmod(*x, *y));
}

vb::Variant fnLike(const QVector<vb::Variant> &a)
{
    if (a[0].isNull() || a[1].isNull())
        return vb::Variant::null();
    return vb::Variant(likeMatch(text(a[0]).toCaseFolded(), text(a[1]).toCaseFolded()));
}

vb::Variant fnCDbl(const QVector<vb::Variant> &a) { return vb::Variant(vb::CDbl(a[0])); }
vb::Variant fnCSng(const QVector<vb::Variant> &a) { return vb::Variant(vb::CSng(a[0])); }
vb::Variant fnCLng(const QVector<vb::Variant> &a) { return vb::Variant(vb::CLng(a[0])); }
vb::Variant fnCInt(const QVector<vb::Variant> &a) { return vb::Variant(vb::CInt(a[0])); }
vb::Variant fnCBool(const QVector<vb::Variant> &a) { return vb::Variant(vb::CBool(a[0])); }
vb::Variant fnCStr(const QVector<vb::Variant> &a) { return vb::Variant(vb::CStr(a[0])); }

int count(const vb::Variant &v)
{
    const auto n = number(v);
    if (!n)
        runtimeError(vb::err::InvalidUseOfNull);
    const qint32 c = vb::CLng(vb::Variant(*n));
    if (c < 0)
        runtimeError(InvalidCall);
    return c;
}

vb::Variant fnLeft(const QVector<vb::Variant> &a)
{
    const int n = count(a[1]);
    if (a[0].isNull())
        return vb::Variant::null();
    return vb::Variant(text(a[0]).left(n));
}

vb::Variant fnRight(const QVector<vb::Variant> &a)
{
    const int n = count(a[1]);
    if (a[0].isNull())
        return vb::Variant::null();
    return vb::Variant(text(a[0]).right(n));
}

vb::Variant fnMid(const QVector<vb::Variant> &a)
{
    const int start = count(a[1]);
    if (start < 1)
        runtimeError(InvalidCall);
    if (a[0].isNull())
        return vb::Variant::null();
    const QString s = text(a[0]);
    if (a.size() > 2)
        return vb::Variant(s.mid(start - 1, count(a[2])));
    return vb::Variant(s.mid(start - 1));
}

vb::Variant fnLen(const QVector<vb::Variant> &a)
{
    if (a[0].isNull())
        return vb::Variant::null();
    return vb::Variant(static_cast<qint32>(text(a[0]).size()));
}

vb::Variant fnInStr(const QVector<vb::Variant> &a)
{
    // InStr([start,] s1, s2 [, compare]); text comparison unless compare is 0.
    int start = 1;
    int first = 0;
    if (a.size() >= 3) {
        start = count(a[0]);
        if (start < 1)
            runtimeError(InvalidCall);
        first = 1;
    }
    const vb::Variant &hay = a[first];
    const vb::Variant &needle = a[first + 1];
    if (hay.isNull() || needle.isNull())
        return vb::Variant::null();
    Qt::CaseSensitivity cs = Qt::CaseInsensitive;
    if (a.size() == 4 && !a[3].isNull() && number(a[3]).value_or(1) == 0)
        cs = Qt::CaseSensitive;
    const QString h = text(hay);
    const QString n = text(needle);
    if (start > h.size())
        return vb::Variant(static_cast<qint32>(0));
    if (n.isEmpty())
        return vb::Variant(static_cast<qint32>(start));
    return vb::Variant(static_cast<qint32>(h.indexOf(n, start - 1, cs) + 1));
}

vb::Variant fnUCase(const QVector<vb::Variant> &a)
{
    return a[0].isNull() ? vb::Variant::null() : vb::Variant(text(a[0]).toUpper());
}

vb::Variant fnLCase(const QVector<vb::Variant> &a)
{
    return a[0].isNull() ? vb::Variant::null() : vb::Variant(text(a[0]).toLower());
}

QString trimSpaces(const QString &s, bool left, bool right)
{
    int b = 0;
    int e = s.size();
    if (left)
        while (b < e && s.at(b) == u' ')
            ++b;
    if (right)
        while (e > b && s.at(e - 1) == u' ')
            --e;
    return s.mid(b, e - b);
}

vb::Variant fnTrim(const QVector<vb::Variant> &a)
{
    return a[0].isNull() ? vb::Variant::null() : vb::Variant(trimSpaces(text(a[0]), true, true));
}

vb::Variant fnLTrim(const QVector<vb::Variant> &a)
{
    return a[0].isNull() ? vb::Variant::null() : vb::Variant(trimSpaces(text(a[0]), true, false));
}

vb::Variant fnRTrim(const QVector<vb::Variant> &a)
{
    return a[0].isNull() ? vb::Variant::null() : vb::Variant(trimSpaces(text(a[0]), false, true));
}

vb::Variant fnIIf(const QVector<vb::Variant> &a)
{
    return truth(a[0]) ? a[1] : a[2];
}

vb::Variant fnIsNull(const QVector<vb::Variant> &a)
{
    return vb::Variant(a[0].isNull());
}

vb::Variant fnNz(const QVector<vb::Variant> &a)
{
    if (!a[0].isNull())
        return a[0];
    return a.size() > 1 ? a[1] : vb::Variant(QString());
}

// Val reads a leading number with "." as the decimal point whatever the locale; blanks are skipped.
vb::Variant fnVal(const QVector<vb::Variant> &a)
{
    if (a[0].isNull())
        runtimeError(vb::err::InvalidUseOfNull);
    if (a[0].isNumber())
        return vb::Variant(a[0].rawNumber());
    QString s = text(a[0]);
    s.remove(u' ').remove(u'\t').remove(u'\n').remove(u'\r');
    if (s.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive) || s.startsWith(QStringLiteral("&O"), Qt::CaseInsensitive)) {
        const int base = s.at(1).toUpper() == u'H' ? 16 : 8;
        int i = 2;
        while (i < s.size() && QStringLiteral("0123456789ABCDEF").left(base).contains(s.at(i).toUpper()))
            ++i;
        bool ok = false;
        const qlonglong v = s.mid(2, i - 2).toLongLong(&ok, base);
        return vb::Variant(ok ? static_cast<double>(v) : 0.0);
    }
    int i = 0;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    while (i < s.size() && s.at(i).isDigit())
        ++i;
    if (i < s.size() && s.at(i) == u'.') {
        ++i;
        while (i < s.size() && s.at(i).isDigit())
            ++i;
    }
    if (i < s.size() && (s.at(i) == u'e' || s.at(i) == u'E' || s.at(i) == u'd' || s.at(i) == u'D')) {
        int j = i + 1;
        if (j < s.size() && (s.at(j) == u'+' || s.at(j) == u'-'))
            ++j;
        if (j < s.size() && s.at(j).isDigit()) {
            while (j < s.size() && s.at(j).isDigit())
                ++j;
            i = j;
        }
    }
    QString numberText = s.left(i);
    numberText.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double v = numberText.toDouble(&ok);
    return vb::Variant(ok ? v : 0.0);
}

vb::Variant fnRound(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    if (!x)
        return vb::Variant::null();
    // Beyond 340 decimals no double changes (the smallest lies near 5E-324): no longer digit strings.
    const int decimals = a.size() > 1 ? std::min(count(a[1]), 340) : 0;
    return vb::Variant(vb::Round(*x, decimals));
}

vb::Variant fnInt(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    return x ? vb::Variant(std::floor(*x)) : vb::Variant::null();
}

vb::Variant fnFix(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    return x ? vb::Variant(std::trunc(*x)) : vb::Variant::null();
}

vb::Variant fnSgn(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    if (!x)
        return vb::Variant::null();
    return vb::Variant(static_cast<qint32>(*x > 0 ? 1 : (*x < 0 ? -1 : 0)));
}

vb::Variant fnSqr(const QVector<vb::Variant> &a)
{
    const auto x = number(a[0]);
    if (!x)
        return vb::Variant::null();
    if (*x < 0)
        runtimeError(InvalidCall);
    return vb::Variant(std::sqrt(*x));
}

const FunctionDef functions[] = {
    {"jet_format", 1, fnFormat},
    {"jet_concat", -1, fnConcat}, {"jet_pow", 2, fnPow},
    {"jet_div", 2, fnDiv},       {"jet_idiv", 2, fnIntDiv},
    {"jet_mod", 2, fnMod},       {"jet_like", 2, fnLike},
    {"jet_cdbl", 1, fnCDbl},     {"jet_csng", 1, fnCSng},
    {"jet_clng", 1, fnCLng},     {"jet_cint", 1, fnCInt},
    {"jet_cbool", 1, fnCBool},   {"jet_cstr", 1, fnCStr},
    {"jet_left", 2, fnLeft},     {"jet_right", 2, fnRight},
    {"jet_mid", 2, fnMid},       {"jet_mid", 3, fnMid},
    {"jet_len", 1, fnLen},       {"jet_instr", 2, fnInStr},
    {"jet_instr", 3, fnInStr},   {"jet_instr", 4, fnInStr},
    {"jet_ucase", 1, fnUCase},   {"jet_lcase", 1, fnLCase},
    {"jet_trim", 1, fnTrim},     {"jet_ltrim", 1, fnLTrim},
    {"jet_rtrim", 1, fnRTrim},   {"jet_iif", 3, fnIIf},
    {"jet_isnull", 1, fnIsNull}, {"jet_nz", 1, fnNz},
    {"jet_nz", 2, fnNz},         {"jet_val", 1, fnVal},
    {"jet_round", 1, fnRound},   {"jet_round", 2, fnRound},
    {"jet_int", 1, fnInt},       {"jet_fix", 1, fnFix},
    {"jet_sgn", 1, fnSgn},       {"jet_sqr", 1, fnSqr},
};

struct Binding {
    Session *session;
    Body body;
};

void fail(sqlite3_context *ctx, Session *session, const vb::Error &e)
{
    session->setFunctionError(e);
    const QByteArray message = e.description().toUtf8();
    sqlite3_result_error(ctx, message.constData(), message.size());
}

// Runs a function body; whatever it throws becomes the statement's error.
template <typename Body>
void guarded(sqlite3_context *ctx, Session *session, Body &&body)
{
    try {
        body();
    } catch (const vb::Error &e) {
        fail(ctx, session, e);
    } catch (const std::exception &e) {
        // Nothing else may cross the engine's C frames: any other failure is the engine's error.
        fail(ctx, session, vb::Error::of(vb::err::EngineRefused, QStringLiteral("jet"), QString(), QString::fromLocal8Bit(e.what())));
    } catch (...) {
        fail(ctx, session, vb::Error::of(vb::err::EngineRefused, QStringLiteral("jet"), QString(), QStringLiteral("Function failed.")));
    }
}

void call(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const auto *binding = static_cast<const Binding *>(sqlite3_user_data(ctx));
    guarded(ctx, binding->session, [&] {
        QVector<vb::Variant> args;
        args.reserve(argc);
        for (int i = 0; i < argc; ++i)
            args << argument(argv[i]);
        setResult(ctx, binding->body(args));
    });
}

// Format(value, pattern): the pattern is read once per statement; numbers in a pattern of zeros
// are written straight from the engine's value.
void formatCall(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *session = static_cast<Session *>(sqlite3_user_data(ctx));
    guarded(ctx, session, [&] {
        const int type = sqlite3_value_type(argv[0]);
        if (type == SQLITE_NULL) {
            sqlite3_result_null(ctx);  // a missing value stays missing, whatever the pattern
            return;
        }
        if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
            setResult(ctx, fnFormat({argument(argv[0]), argument(argv[1])}));
            return;
        }
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
        const FormatPattern *pattern = &session->formatPattern(text, sqlite3_value_bytes(argv[1]));
        if (type == SQLITE_FLOAT || type == SQLITE_INTEGER) {
            char out[FormatPattern::MaxFixedLength];
            const int length = pattern->fixed(sqlite3_value_double(argv[0]), out);
            if (length >= 0) {
                sqlite3_result_text(ctx, out, length, SQLITE_TRANSIENT);
                return;
            }
        }
        setResult(ctx, fnFormat({argument(argv[0]), vb::Variant(pattern->text())}));
    });
}

void destroyBinding(void *p)
{
    delete static_cast<Binding *>(p);
}

// One pass over the common ASCII prefix, each byte folded once; only a difference that meets a
// non-ASCII byte first needs `unicode`, which compares the two whole texts.
template <class Unicode>
int compareFolded(int n1, const void *p1, int n2, const void *p2, Unicode unicode)
{
    const auto *a = static_cast<const unsigned char *>(p1);
    const auto *b = static_cast<const unsigned char *>(p2);
    const int n = std::min(n1, n2);
    for (int i = 0; i < n; ++i) {
        if ((a[i] | b[i]) >= 0x80)
            return unicode(QString::fromUtf8(reinterpret_cast<const char *>(a), n1),
                           QString::fromUtf8(reinterpret_cast<const char *>(b), n2));
        const int ca = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] + 32 : a[i];
        const int cb = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] + 32 : b[i];
        if (ca != cb)
            return ca - cb;
    }
    return n1 - n2;
}

int compareNoCase(void *, int n1, const void *p1, int n2, const void *p2)
{
    return compareFolded(n1, p1, n2, p2,
                         [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive); });
}

// The letters of a text without their accents or case: "Èra" reads "era".
QString orderKey(const QString &text)
{
    QString key = text.toCaseFolded().normalized(QString::NormalizationForm_D);
    key.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return key;
}

// Jet's order of texts: by their letters first, an accented one with its plain letter ("Èra
// glaciale" among the E, before "Erba"), then by the accents; letter case never counts. Texts equal
// under NOCASE stay equal, and ASCII texts keep NOCASE's order.
int compareForOrder(void *, int n1, const void *p1, int n2, const void *p2)
{
    return compareFolded(n1, p1, n2, p2, [](const QString &a, const QString &b) {
        const int letters = orderKey(a).compare(orderKey(b));
        return letters != 0 ? letters : a.compare(b, Qt::CaseInsensitive);
    });
}

}  // namespace

void registerSqlFunctions(sqlite3 *db, Session *session)
{
    for (const FunctionDef &f : functions) {
        sqlite3_create_function_v2(db, f.name, f.arity, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   new Binding{session, f.body}, call, nullptr, nullptr, destroyBinding);
    }
    sqlite3_create_function_v2(db, "jet_format", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, session, formatCall, nullptr,
                               nullptr, nullptr);
    // Replaces the built-in NOCASE, which folds ASCII letters only; text columns use it.
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, compareNoCase, nullptr);
    // Only ORDER BY uses it, so the indexes built on NOCASE keep their order.
    sqlite3_create_collation_v2(db, "JETORDER", SQLITE_UTF8, nullptr, compareForOrder, nullptr);
}

}  // namespace jet
