// A Format pattern read once per statement, so that formatting a column costs no parsing per cell.
#pragma once

#include <QByteArray>
#include <QString>


namespace jet {

// Patterns of zeros with an optional decimal point ("0", "0.00", ".000") are formatted here,
// exactly as vb::Format writes them (rounding half away from zero on the shortest decimal form,
// the locale's decimal point as it was when the pattern was read, "-" only before a value that
// does not round to zero); for any other pattern, or a value that is not finite, fixed() answers
// -1 and the caller uses vb::Format with text().
class FormatPattern {
public:
    explicit FormatPattern(const QString &pattern);

    // Room fixed() needs: every digit of the largest double, the decimals, sign and point.
    static constexpr int MaxFixedLength = 720;

    const QString &text() const { return m_text; }
    // Writes the value as UTF-8 into `out` (MaxFixedLength bytes) and returns its length, or -1
    // when this pattern or value needs vb::Format.
    int fixed(double value, char *out) const;

private:
    int quick(double value, char *out) const;

    QString m_text;
    bool m_fixed = false;
    int m_minInteger = 0;
    int m_decimals = 0;
    QByteArray m_point;
};

}  // namespace jet
