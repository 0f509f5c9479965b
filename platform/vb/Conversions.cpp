// Locale-aware conversions of the runtime: number reading, CDbl and siblings, CStr, Format, Round.
#include "Conversions.h"

#include "Error.h"

#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <locale.h>
#include <mutex>

namespace vb {

namespace {

std::mutex localeMutex;
std::optional<QLocale> pinnedLocale;

enum class Scan { Ok, NotNumber, OutOfRange };

// The C library's number reading and writing follow LC_NUMERIC, which a GUI program takes from
// the user (an Italian one writes "1,5" and stops reading "1.5" at the dot). Everything here
// speaks C notation to the C library and applies the user's locale itself, so each call runs
// under the "C" locale on this thread only.
class CNumeric {
public:
    CNumeric() : m_previous(uselocale(cLocale())) {}
    ~CNumeric() { uselocale(m_previous); }
    CNumeric(const CNumeric &) = delete;
    CNumeric &operator=(const CNumeric &) = delete;

private:
    static locale_t cLocale()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        return c;
    }
    locale_t m_previous;
};

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool startsWithAt(const QString &s, qsizetype pos, const QString &token)
{
    return !token.isEmpty() && QStringView(s).mid(pos).startsWith(token);
}

// The decimal separator of a locale when it is one character; asked once per locale and thread,
// as tables read hundreds of thousands of cells in a row.
QChar decimalChar(const QLocale &locale)
{
    thread_local QLocale cached = QLocale::c();
    thread_local QChar decimal = u'.';
    if (!(locale == cached)) {
        const QString d = locale.decimalPoint();
        cached = locale;
        decimal = d.size() == 1 ? d.front() : QChar();
    }
    return decimal;
}

// A plain decimal in the locale's notation ("-1234,56": a minus, digits, one separator, no blanks,
// groups or exponent) read straight to a double; false sends the text to the full scan. Both
// end in a correctly rounded conversion of the same digits, so the value is the same.
bool scanPlain(const QString &s, QChar decimal, double &out)
{
    const qsizetype n = s.size();
    if (n == 0 || n > 60 || decimal.isNull())
        return false;
    char buf[64];
    int len = 0, digits = 0;
    bool point = false;
    const QChar *p = s.constData();
    qsizetype i = 0;
    if (p[0] == u'-') {
        buf[len++] = '-';
        i = 1;
    }
    for (; i < n; ++i) {
        const char16_t u = p[i].unicode();
        if (u >= u'0' && u <= u'9') {
            buf[len++] = char(u);
            ++digits;
        } else if (p[i] == decimal && !point) {
            buf[len++] = '.';
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    double value = 0;
    const auto r = std::from_chars(buf, buf + len, value);
    if (r.ec != std::errc() || r.ptr != buf + len)
        return false;
    out = value == 0 ? 0.0 : value;  // no negative zero from "-0"
    return true;
}

// Reads text the way the runtime's string-to-number coercion does. Group separators are accepted
// anywhere after the first digit of the integer part and ignored, so on an Italian system "12.5"
// reads as 125: that is what users of such programs get.
Scan scanNumber(const QString &text, const QLocale &locale, double &out)
{
    if (scanPlain(text, decimalChar(locale), out))
        return Scan::Ok;
    const QString s = text.trimmed();
    const QString decimal = locale.decimalPoint();
    QStringList groups{locale.groupSeparator()};
    // Locales grouping with a no-break space also take a plain one as typed on a keyboard.
    if (groups.first() == QString(QChar(0x00A0)) || groups.first() == QString(QChar(0x202F)))
        groups << QStringLiteral(" ");

    QByteArray c;  // the number rewritten in C syntax for strtod
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'-' || startsWithAt(s, i, locale.negativeSign()))) {
        c += '-';
        i += s[i] == u'-' ? 1 : locale.negativeSign().size();
    } else if (i < n && (s[i] == u'+' || startsWithAt(s, i, locale.positiveSign()))) {
        i += s[i] == u'+' ? 1 : locale.positiveSign().size();
    }

    int mantissaDigits = 0;
    while (i < n) {
        if (isAsciiDigit(s[i])) {
            c += char(s[i].unicode());
            ++mantissaDigits;
            ++i;
            continue;
        }
        bool grouped = false;
        if (mantissaDigits > 0) {
            for (const QString &g : groups) {
                if (startsWithAt(s, i, g) && g != decimal) {
                    i += g.size();
                    grouped = true;
                    break;
                }
            }
        }
        if (!grouped)
            break;
    }
    if (startsWithAt(s, i, decimal)) {
        c += '.';
        i += decimal.size();
        while (i < n && isAsciiDigit(s[i])) {
            c += char(s[i].unicode());
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0)
        return Scan::NotNumber;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        c += 'e';
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            c += char(s[i++].unicode());
        int exponentDigits = 0;
        while (i < n && isAsciiDigit(s[i])) {
            c += char(s[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return Scan::NotNumber;
    }
    if (i != n)
        return Scan::NotNumber;

    const CNumeric cNumeric;
    errno = 0;
    const double value = std::strtod(c.constData(), nullptr);
    if (errno == ERANGE && std::isinf(value))
        return Scan::OutOfRange;
    out = value == 0 ? 0.0 : value;  // no negative zero from "-0"
    return Scan::Ok;
}

// A number of any Variant, for the numeric conversions: Empty is 0, True is -1 as in the runtime.
double numberOf(const Variant &v)
{
    switch (v.type()) {
    case VarType::Empty:
        return 0;
    case VarType::Null:
        throw Error::of(err::InvalidUseOfNull);
    case VarType::Boolean:
        return v.rawNumber() != 0 ? -1 : 0;
    case VarType::String: {
        double value = 0;
        switch (scanNumber(v.rawString(), userLocale(), value)) {
        case Scan::Ok: return value;
        case Scan::OutOfRange: throw Error::of(err::Overflow);
        case Scan::NotNumber: break;
        }
        throw Error::of(err::TypeMismatch);
    }
    case VarType::Array:
        throw Error::of(err::TypeMismatch);
    default:
        return v.rawNumber();
    }
}

// Half-to-even rounding to a whole number within [low, high], else overflow.
qint64 roundToInteger(double value, qint64 low, qint64 high)
{
    const double r = std::nearbyint(value);  // default rounding mode: half to even
    if (!(r >= double(low) && r <= double(high)))
        throw Error::of(err::Overflow);
    return qint64(r);
}

// A number with `significant` significant digits in the locale's writing, without group
// separators; exponent form ("1E+15") only where the runtime uses it too.
// A value exactly halfway between two texts of that many digits rounds away from zero, as the
// runtime does (the C library would round it to even: 654322.25 as a Single gave "654322.2").
bool isExactTie(double value, int significant)
{
    const CNumeric cNumeric;
    char buf[1100];
    std::snprintf(buf, sizeof buf, "%.*E", significant, value);  // one digit more than kept
    const char *e = std::strchr(buf, 'E');
    if (!e || e[-1] != '5')
        return false;
    // Rare: prove the tie on the value's exact expansion (a double has at most 767 digits).
    std::snprintf(buf, sizeof buf, "%.*E", 780, value);
    const char *digits = std::strchr(buf, '.') + 1;
    for (const char *p = digits + significant; *p != 'E'; ++p) {
        if (*p != '0')
            return false;
    }
    return true;
}

QString numberText(double value, int significant)
{
    if (value == 0)
        return QStringLiteral("0");
    // A whole number within the precision prints as its digits; no locale switch or formatting
    // (the codes of a map's territories are such numbers, thousands per drawing).
    static constexpr double limits[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (significant > 0 && significant < int(std::size(limits)) && std::fabs(value) < limits[significant] &&
        value == std::trunc(value))
        return QString::number(qint64(value));
    if (std::isfinite(value) && isExactTie(value, significant))
        value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
    char buf[64];
    {
        const CNumeric cNumeric;
        std::snprintf(buf, sizeof buf, "%.*G", significant, value);
    }
    QString s = QString::fromLatin1(buf);
    return s.replace(u'.', userLocale().decimalPoint());
}

// A value rounded to a number of decimals on its shortest decimal representation:
// |value| = digits * 10^-scale.
struct Decimal {
    bool negative = false;
    QByteArray digits;  // no leading zeros except "0"
    int scale = 0;
};

enum class Tie { ToEven, AwayFromZero };

Decimal roundDecimal(double value, int decimals, Tie tie)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const QByteArray sci(buf, int(res.ptr - buf));  // e.g. "-2.675e+00"
    const int ePos = sci.indexOf('e');
    QByteArray mantissa = sci.left(ePos);
    const int exponent = sci.mid(ePos + 1).toInt();

    Decimal d;
    d.negative = mantissa.startsWith('-');
    if (d.negative)
        mantissa.remove(0, 1);
    mantissa.replace(".", "");
    d.scale = decimals;

    // Digits kept: those down to the 10^-decimals place.
    const qint64 keep = qint64(exponent) + 1 + decimals;
    if (keep >= mantissa.size()) {
        d.digits = mantissa + QByteArray(int(keep - mantissa.size()), '0');
    } else if (keep < 0) {
        d.digits = "0";  // below half of the last place
    } else {
        QByteArray kept = mantissa.left(int(keep));
        const QByteArray rest = mantissa.mid(int(keep));
        bool up = rest[0] > '5';
        if (rest[0] == '5') {
            const bool beyondHalf = rest.mid(1).count('0') != rest.size() - 1;
            const bool lastOdd = !kept.isEmpty() && ((kept.back() - '0') % 2 == 1);
            up = beyondHalf || tie == Tie::AwayFromZero || lastOdd;
        }
        if (up) {
            int k = kept.size() - 1;
            while (k >= 0 && kept[k] == '9')
                kept[k--] = '0';
            if (k >= 0)
                ++kept[k];
            else
                kept.prepend('1');
        }
        d.digits = kept.isEmpty() ? QByteArray("0") : kept;
    }
    while (d.digits.size() > 1 && d.digits[0] == '0')
        d.digits.remove(0, 1);
    if (d.digits == "0")
        d.negative = false;
    return d;
}

// Numeric patterns: digit placeholders "0" (always shown) and "#" (shown when significant), one
// optional "." for the decimal separator and "," in the integer part for grouping.
struct Pattern {
    int minIntegerDigits = 0;
    int requiredDecimals = 0;
    int optionalDecimals = 0;
    bool grouping = false;
};

std::optional<Pattern> parsePattern(const QString &text)
{
    if (text.compare(QLatin1String("Fixed"), Qt::CaseInsensitive) == 0)
        return Pattern{1, 2, 0, false};
    if (text.compare(QLatin1String("Standard"), Qt::CaseInsensitive) == 0)
        return Pattern{1, 2, 0, true};
    Pattern p;
    const qsizetype dot = text.indexOf(u'.');
    const QString integer = dot < 0 ? text : text.left(dot);
    for (QChar c : integer) {
        if (c == u'0')
            ++p.minIntegerDigits;
        else if (c == u',')
            p.grouping = true;
        else if (c != u'#')
            return std::nullopt;
    }
    if (dot >= 0) {
        for (QChar c : text.mid(dot + 1)) {
            if (c == u'0' && p.optionalDecimals == 0)
                ++p.requiredDecimals;
            else if (c == u'#')
                ++p.optionalDecimals;
            else
                return std::nullopt;
        }
    }
    if (integer.isEmpty() && dot < 0)
        return std::nullopt;
    return p;
}

QString formatNumber(double value, const Pattern &p)
{
    const QLocale locale = userLocale();
    const int decimals = p.requiredDecimals + p.optionalDecimals;
    Decimal d = roundDecimal(value, decimals, Tie::AwayFromZero);

    QByteArray all = d.digits;
    if (all.size() <= decimals)
        all.prepend(QByteArray(decimals + 1 - all.size(), '0'));
    QByteArray integer = all.left(all.size() - decimals);
    QByteArray fraction = all.right(decimals);
    while (integer.size() > 1 && integer[0] == '0')
        integer.remove(0, 1);
    if (integer == "0" && p.minIntegerDigits == 0)
        integer.clear();
    if (integer.size() < p.minIntegerDigits)
        integer.prepend(QByteArray(p.minIntegerDigits - integer.size(), '0'));
    int strip = p.optionalDecimals;
    while (strip > 0 && fraction.endsWith('0')) {
        fraction.chop(1);
        --strip;
    }

    QString out;
    if (d.negative)
        out += u'-';
    QString intText = QString::fromLatin1(integer);
    if (p.grouping) {
        for (qsizetype pos = intText.size() - 3; pos > 0; pos -= 3)
            intText.insert(pos, locale.groupSeparator());
    }
    out += intText;
    if (!fraction.isEmpty())
        out += locale.decimalPoint() + QString::fromLatin1(fraction);
    return out;
}

}  // namespace

QLocale userLocale()
{
    std::lock_guard lock(localeMutex);
    return pinnedLocale ? *pinnedLocale : QLocale::system();
}

void setUserLocale(const QLocale &locale)
{
    std::lock_guard lock(localeMutex);
    pinnedLocale = locale;
}

void resetUserLocale()
{
    std::lock_guard lock(localeMutex);
    pinnedLocale.reset();
}

std::optional<double> parseNumber(const QString &text)
{
    double value = 0;
    if (scanNumber(text, userLocale(), value) == Scan::Ok)
        return value;
    return std::nullopt;
}

bool IsNumeric(const QString &text)
{
    return parseNumber(text).has_value();
}

bool IsNumeric(const Variant &v)
{
    switch (v.type()) {
    case VarType::Null:
    case VarType::Array:
        return false;
    case VarType::String:
        return IsNumeric(v.rawString());
    default:
        return true;
    }
}

double CDbl(const Variant &v)
{
    return numberOf(v);
}

float CSng(const Variant &v)
{
    const double value = numberOf(v);
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        throw Error::of(err::Overflow);
    return float(value);
}

qint32 CLng(const Variant &v)
{
    return qint32(roundToInteger(numberOf(v), std::numeric_limits<qint32>::min(),
                                 std::numeric_limits<qint32>::max()));
}

qint16 CInt(const Variant &v)
{
    return qint16(roundToInteger(numberOf(v), std::numeric_limits<qint16>::min(),
                                 std::numeric_limits<qint16>::max()));
}

bool CBool(const Variant &v)
{
    if (v.type() == VarType::String) {
        const QString s = v.rawString().trimmed();
        for (const char *word : {"True", "Vero"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
                return true;
        for (const char *word : {"False", "Falso"})
            if (s.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
                return false;
    }
    return numberOf(v) != 0;
}

QString CStr(const Variant &v)
{
    switch (v.type()) {
    case VarType::Empty:
        return QString();
    case VarType::Null:
        throw Error::of(err::InvalidUseOfNull);
    case VarType::Boolean:
        return BoolText(v.rawNumber() != 0);
    case VarType::String:
        return v.rawString();
    case VarType::Array:
        throw Error::of(err::TypeMismatch);
    case VarType::Integer:
    case VarType::Long:
        return QString::number(qint64(v.rawNumber()));
    case VarType::Single:
        return numberText(v.rawNumber(), 7);  // a single's own precision, so 0.1f is "0.1"
    case VarType::Double:
        break;
    }
    return numberText(v.rawNumber(), 15);
}

QString BoolText(bool value)
{
    if (userLocale().language() == QLocale::Italian)
        return value ? QStringLiteral("Vero") : QStringLiteral("Falso");
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString Format(const Variant &v, const QString &pattern)
{
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
        return QString();
    case VarType::Array:
        throw Error::of(err::TypeMismatch);
    case VarType::String:
        if (!IsNumeric(v.rawString()))
            return v.rawString();
        break;
    default:
        break;
    }
    const double value = numberOf(v);
    if (pattern.isEmpty() || pattern.compare(QLatin1String("General Number"), Qt::CaseInsensitive) == 0)
        return numberText(value, 15);
    const std::optional<Pattern> p = parsePattern(pattern);
    if (!p)
        throw Error::of(err::InvalidProcedureCall);
    if (!std::isfinite(value))
        return numberText(value, 15);
    return formatNumber(value, *p);
}

double Round(double value, int decimals)
{
    if (decimals < 0)
        throw Error::of(err::InvalidProcedureCall);
    if (!std::isfinite(value) || value == 0)
        return value;
    const Decimal d = roundDecimal(value, decimals, Tie::ToEven);
    QByteArray text = d.digits + "e-" + QByteArray::number(d.scale);
    if (d.negative)
        text.prepend('-');
    const CNumeric cNumeric;
    const double r = std::strtod(text.constData(), nullptr);
    return r == 0 ? 0.0 : r;
}

namespace {

QString shortDateFormat(const QLocale &locale)
{
    QString f = locale.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

QString longTimeFormat(const QLocale &locale)
{
    // The time zone ("t") is no part of the runtime's time text.
    const QString f = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : f) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            out += c;
    }
    return out.simplified();
}

}  // namespace

QString DateText(const QDate &date)
{
    const QLocale locale = userLocale();
    return locale.toString(date, shortDateFormat(locale));
}

QString TimeText(const QTime &time)
{
    const QLocale locale = userLocale();
    return locale.toString(time, longTimeFormat(locale));
}

QString DateTimeText(const QDateTime &dateTime)
{
    const QString date = DateText(dateTime.date());
    if (dateTime.time() == QTime(0, 0))
        return date;
    return date + u' ' + TimeText(dateTime.time());
}

}  // namespace vb
