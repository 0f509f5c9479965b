// Fixed-decimal Format patterns without per-cell parsing or allocation beyond the result.
#include "FormatPattern.h"

#include "vb/Conversions.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace jet {

namespace {
constexpr int MaxDigits = 340;  // of the integer part and of the decimals
constexpr int MaxQuickDecimals = 9;
constexpr double QuickPowers[MaxQuickDecimals + 1] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t QuickIntegerPowers[MaxQuickDecimals + 1] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
}  // namespace

FormatPattern::FormatPattern(const QString &pattern) : m_text(pattern)
{
    const qsizetype dot = pattern.indexOf(u'.');
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (i == dot)
            continue;
        if (pattern.at(i) != u'0')
            return;
        ++(dot < 0 || i < dot ? m_minInteger : m_decimals);
    }
    // Longer patterns are left to vb::Format, which has no fixed room to fill.
    m_fixed = m_minInteger + m_decimals > 0 && m_minInteger <= MaxDigits && m_decimals <= MaxDigits;
    m_point = QString(vb::userLocale().decimalPoint()).toUtf8();
}

int FormatPattern::quick(double value, char *out) const
{
    // Far from a half at the last decimal kept, the shortest decimal form and the value itself
    // round alike (they differ by at most half a unit in the last place, and so does the product
    // below): round the scaled value as an integer. Near a half, or too large for the product to
    // keep its fraction, the digits decide.
    if (m_decimals > MaxQuickDecimals)
        return -1;
    const double scaled = value * QuickPowers[m_decimals];
    const double magnitude = std::fabs(scaled);
    if (!(magnitude < 1e14))
        return -1;
    const double fraction = magnitude - std::floor(magnitude);
    if (std::fabs(fraction - 0.5) <= magnitude * 0x1p-48 + 0x1p-60)
        return -1;
    const auto units = std::uint64_t(std::round(magnitude));
    const std::uint64_t integer = units / QuickIntegerPowers[m_decimals];
    const std::uint64_t decimals = units % QuickIntegerPowers[m_decimals];
    char *o = out;
    if (units != 0 && value < 0)
        *o++ = '-';
    char digits[24];
    int integerLength = 0;
    if (integer != 0 || m_minInteger > 0)
        integerLength = int(std::to_chars(digits, digits + sizeof digits, integer).ptr - digits);
    if (integer == 0 && integerLength == 1)
        integerLength = 0;  // the zero comes from the padding below, or not at all
    for (int i = integerLength; i < m_minInteger; ++i)
        *o++ = '0';
    std::memcpy(o, digits, size_t(integerLength));
    o += integerLength;
    if (m_decimals > 0) {
        std::memcpy(o, m_point.constData(), size_t(m_point.size()));
        o += m_point.size();
        char *end = o + m_decimals;
        std::uint64_t rest = decimals;
        for (char *d = end; d > o; rest /= 10)
            *--d = char('0' + rest % 10);
        o = end;
    }
    return int(o - out);
}

int FormatPattern::fixed(double value, char *out) const
{
    if (!m_fixed || !std::isfinite(value))
        return -1;
    if (const int length = quick(value, out); length >= 0)
        return length;
    // The shortest decimal form that reads back as the value: "-d.ddde+XX".
    char sci[40];
    const auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific);
    const char *p = sci;
    const bool negativeValue = *p == '-';
    if (negativeValue)
        ++p;
    char mantissa[24];
    int mantissaLength = 0;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.' && mantissaLength < int(sizeof mantissa))
            mantissa[mantissaLength++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), res.ptr, exponent);

    // Digits down to the last decimal kept, rounded half away from zero; one spare place in
    // front for a carry.
    const int keep = exponent + 1 + m_decimals;  // |exponent| <= 324, decimals <= MaxDecimals
    char buffer[MaxFixedLength];
    char *digits = buffer + 1;
    int length = 0;
    if (keep >= mantissaLength) {
        std::memcpy(digits, mantissa, size_t(mantissaLength));
        std::memset(digits + mantissaLength, '0', size_t(keep - mantissaLength));
        length = keep;
    } else if (keep <= 0) {
        const bool up = keep == 0 && mantissa[0] >= '5';
        digits[0] = up ? '1' : '0';
        length = 1;
    } else {
        std::memcpy(digits, mantissa, size_t(keep));
        length = keep;
        if (mantissa[keep] >= '5') {
            int k = length - 1;
            while (k >= 0 && digits[k] == '9')
                digits[k--] = '0';
            if (k >= 0) {
                ++digits[k];
            } else {
                *--digits = '1';
                ++length;
            }
        }
    }
    while (length > 1 && digits[0] == '0') {
        ++digits;
        --length;
    }
    const bool negative = negativeValue && !(length == 1 && digits[0] == '0');

    // Integer part: at least one digit, or none for a zero under a pattern such as ".00".
    int integerLength = std::max(length - m_decimals, 0);
    const char *integer = digits;
    while (integerLength > 1 && integer[0] == '0') {
        ++integer;
        --integerLength;
    }
    if (integerLength == 1 && integer[0] == '0' && m_minInteger == 0)
        integerLength = 0;
    char *o = out;
    if (negative)
        *o++ = '-';
    for (int i = integerLength; i < m_minInteger; ++i)
        *o++ = '0';
    std::memcpy(o, integer, size_t(integerLength));
    o += integerLength;
    if (m_decimals > 0) {
        std::memcpy(o, m_point.constData(), size_t(m_point.size()));
        o += m_point.size();
        // Fraction: the last decimals digits, zeros in front when the value has fewer.
        const int have = std::min(length, m_decimals);
        std::memset(o, '0', size_t(m_decimals - have));
        o += m_decimals - have;
        std::memcpy(o, digits + length - have, size_t(have));
        o += have;
    }
    return int(o - out);
}

}  // namespace jet
