// Variant: value semantics, arrays and the conversions (which live in Conversions.cpp).
#include "Variant.h"

#include "Conversions.h"
#include "Error.h"

namespace vb {

Variant::Variant() = default;
Variant::Variant(qint16 v) : m_type(VarType::Integer), m_num(v) {}
Variant::Variant(qint32 v) : m_type(VarType::Long), m_num(v) {}
Variant::Variant(float v) : m_type(VarType::Single), m_num(v) {}
Variant::Variant(double v) : m_type(VarType::Double), m_num(v) {}
Variant::Variant(bool v) : m_type(VarType::Boolean), m_num(v ? 1 : 0) {}
Variant::Variant(const QString &v) : m_type(VarType::String), m_str(v) {}
Variant::Variant(QString &&v) : m_type(VarType::String), m_str(std::move(v)) {}
Variant::Variant(const char *v) : m_type(VarType::String), m_str(QString::fromUtf8(v)) {}

Variant::Variant(const Variant &other)
    : m_type(other.m_type), m_num(other.m_num), m_str(other.m_str),
      m_items(other.m_items ? std::make_unique<QVector<Variant>>(*other.m_items) : nullptr)
{
}

Variant::Variant(Variant &&other) noexcept
    : m_type(other.m_type), m_num(other.m_num), m_str(std::move(other.m_str)),
      m_items(std::move(other.m_items))
{
    other.m_type = VarType::Empty;
    other.m_num = 0;
}

Variant &Variant::operator=(const Variant &other)
{
    if (this != &other) {
        Variant copy(other);  // other may be one of our own items
        *this = std::move(copy);
    }
    return *this;
}

Variant &Variant::operator=(Variant &&other) noexcept
{
    if (this != &other) {
        m_type = other.m_type;
        m_num = other.m_num;
        m_str = std::move(other.m_str);
        m_items = std::move(other.m_items);
        other.m_type = VarType::Empty;
        other.m_num = 0;
    }
    return *this;
}

Variant::~Variant() = default;

Variant Variant::null()
{
    Variant v;
    v.m_type = VarType::Null;
    return v;
}

Variant Variant::array(QVector<Variant> items)
{
    Variant v;
    v.m_type = VarType::Array;
    v.m_items = std::make_unique<QVector<Variant>>(std::move(items));
    return v;
}

Variant Variant::undimensionedArray()
{
    Variant v;
    v.m_type = VarType::Array;
    return v;
}

bool Variant::isNumber() const
{
    switch (m_type) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
        return true;
    default:
        return false;
    }
}

bool Variant::isDimensioned() const
{
    if (m_type != VarType::Array)
        throw Error::of(err::TypeMismatch);
    return m_items != nullptr;
}

int Variant::lBound() const
{
    items();
    return 0;
}

int Variant::uBound() const
{
    return items().size() - 1;
}

int Variant::size() const
{
    return isDimensioned() ? m_items->size() : 0;
}

const QVector<Variant> &Variant::items() const
{
    if (!isDimensioned())
        throw Error::of(err::SubscriptOutOfRange);
    return *m_items;
}

const Variant &Variant::at(int index) const
{
    const QVector<Variant> &list = items();
    if (index < 0 || index >= list.size())
        throw Error::of(err::SubscriptOutOfRange);
    return list[index];
}

Variant &Variant::at(int index)
{
    const Variant &self = *this;
    self.at(index);  // checks type and bounds
    return (*m_items)[index];
}

void Variant::redimPreserve(int upperBound)
{
    if (m_type != VarType::Array)
        throw Error::of(err::TypeMismatch);
    if (upperBound < 0)
        throw Error::of(err::SubscriptOutOfRange);
    if (!m_items)
        m_items = std::make_unique<QVector<Variant>>();
    m_items->resize(upperBound + 1);
}

QString Variant::toString() const { return CStr(*this); }
double Variant::toDouble() const { return CDbl(*this); }
float Variant::toSingle() const { return CSng(*this); }
qint32 Variant::toLong() const { return CLng(*this); }
qint16 Variant::toInteger() const { return CInt(*this); }
bool Variant::toBool() const { return CBool(*this); }

bool Variant::operator==(const Variant &other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case VarType::Empty:
    case VarType::Null:
        return true;
    case VarType::String:
        return m_str == other.m_str;
    case VarType::Array:
        if (!m_items || !other.m_items)
            return !m_items && !other.m_items;
        return *m_items == *other.m_items;
    default:
        return m_num == other.m_num;
    }
}

}  // namespace vb
