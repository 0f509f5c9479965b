// Automation value: Empty, Null, 16/32-bit integers, single, double, Boolean, text and arrays of values.
#pragma once

#include <QString>
#include <QVector>
#include <memory>

namespace vb {

enum class VarType { Empty, Null, Integer, Long, Single, Double, Boolean, String, Array };

// A value with the semantics of the original runtime. Arrays are zero-based vectors of Variants;
// an undimensioned array (no bounds at all) is distinct from an array of one Empty element.
// Copies are deep (value semantics), so a list handed out is the caller's own copy.
class Variant {
public:
    Variant();  // Empty
    Variant(qint16 v);
    Variant(qint32 v);
    Variant(float v);
    Variant(double v);
    Variant(bool v);
    Variant(const QString &v);
    Variant(QString &&v);
    Variant(const char *v);  // UTF-8 text
    Variant(const Variant &other);
    Variant(Variant &&other) noexcept;  // leaves other Empty
    Variant &operator=(const Variant &other);
    Variant &operator=(Variant &&other) noexcept;
    ~Variant();

    static Variant null();
    static Variant array(QVector<Variant> items);  // dimensioned, bounds 0..items.size()-1
    static Variant undimensionedArray();

    VarType type() const { return m_type; }
    bool isEmpty() const { return m_type == VarType::Empty; }
    bool isNull() const { return m_type == VarType::Null; }
    bool isArray() const { return m_type == VarType::Array; }
    bool isString() const { return m_type == VarType::String; }
    bool isNumber() const;  // Integer, Long, Single, Double (Boolean excluded)

    // Arrays. On a non-array: error 13. On an undimensioned array, bounds and items: error 9.
    bool isDimensioned() const;
    int lBound() const;
    int uBound() const;
    int size() const;  // 0 for undimensioned
    const Variant &at(int index) const;  // error 9 outside the bounds
    Variant &at(int index);
    // Grows or shrinks to 0..upperBound keeping contents; dimensions an undimensioned array.
    // Error 9 for a negative bound, 13 on a non-array.
    void redimPreserve(int upperBound);
    const QVector<Variant> &items() const;  // error 9 when undimensioned

    // Conversions with the runtime's rules (locale-aware, see Conversions.h); throw vb::Error.
    QString toString() const;  // CStr: Null is error 94; Empty gives ""
    double toDouble() const;   // CDbl
    float toSingle() const;    // CSng
    qint32 toLong() const;     // CLng
    qint16 toInteger() const;  // CInt
    bool toBool() const;       // CBool

    // Raw payload access without conversion (undefined if the type differs).
    double rawNumber() const { return m_num; }
    const QString &rawString() const { return m_str; }

    // Same type and same payload (arrays element by element).
    bool operator==(const Variant &other) const;
    bool operator!=(const Variant &other) const { return !(*this == other); }

private:
    VarType m_type = VarType::Empty;
    double m_num = 0;  // numbers and Boolean (1/0)
    QString m_str;
    std::unique_ptr<QVector<Variant>> m_items;  // arrays; null pointer = undimensioned
};

}  // namespace vb
