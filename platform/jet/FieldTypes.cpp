// Declared column types: what each field type is stored as, and how a declared type reads back.
#include "FieldTypes.h"

#include <QHash>
#include <QRegularExpression>

namespace jet {

QString declaredType(const Field &field)
{
    switch (field.type) {
    case FieldType::Text:
        return QStringLiteral("TEXT(%1) COLLATE NOCASE").arg(field.size > 0 ? field.size : 255);
    case FieldType::Memo:
        return QStringLiteral("LONGTEXT COLLATE NOCASE");
    case FieldType::Byte:
        return QStringLiteral("TINYINT");
    case FieldType::Integer:
        return QStringLiteral("SMALLINT");
    case FieldType::Long:
        return QStringLiteral("INTEGER");
    case FieldType::Single:
        return QStringLiteral("REAL");
    case FieldType::Double:
        return QStringLiteral("DOUBLE");
    case FieldType::Boolean:
        return QStringLiteral("BIT");
    case FieldType::Date:
        return QStringLiteral("DATETIME");
    }
    return QStringLiteral("TEXT(255) COLLATE NOCASE");
}

std::optional<FieldType> fieldTypeOf(const QString &declared)
{
    QString name = declared.trimmed().toUpper();
    const int paren = name.indexOf(u'(');
    if (paren >= 0)
        name = name.left(paren);
    name = name.section(u' ', 0, 0).trimmed();
    static const QHash<QString, FieldType> names = {
        {"TEXT", FieldType::Text},       {"VARCHAR", FieldType::Text},
        {"CHAR", FieldType::Text},       {"CHARACTER", FieldType::Text},
        {"STRING", FieldType::Text},     {"NVARCHAR", FieldType::Text},
        {"ALPHANUMERIC", FieldType::Text},
        {"LONGTEXT", FieldType::Memo},   {"MEMO", FieldType::Memo},
        {"NOTE", FieldType::Memo},       {"LONGCHAR", FieldType::Memo},
        {"CLOB", FieldType::Memo},       {"NTEXT", FieldType::Memo},
        {"BYTE", FieldType::Byte},       {"TINYINT", FieldType::Byte},
        {"SMALLINT", FieldType::Integer}, {"SHORT", FieldType::Integer},
        {"INTEGER2", FieldType::Integer},
        {"INTEGER", FieldType::Long},    {"INT", FieldType::Long},
        {"LONG", FieldType::Long},       {"INTEGER4", FieldType::Long},
        {"COUNTER", FieldType::Long},    {"AUTOINCREMENT", FieldType::Long},
        {"BIGINT", FieldType::Long},
        {"REAL", FieldType::Single},     {"SINGLE", FieldType::Single},
        {"FLOAT4", FieldType::Single},   {"IEEESINGLE", FieldType::Single},
        {"DOUBLE", FieldType::Double},   {"FLOAT", FieldType::Double},
        {"FLOAT8", FieldType::Double},   {"IEEEDOUBLE", FieldType::Double},
        {"NUMBER", FieldType::Double},   {"NUMERIC", FieldType::Double},
        {"DECIMAL", FieldType::Double},  {"CURRENCY", FieldType::Double},
        {"MONEY", FieldType::Double},
        {"BIT", FieldType::Boolean},     {"BOOLEAN", FieldType::Boolean},
        {"LOGICAL", FieldType::Boolean}, {"YESNO", FieldType::Boolean},
        {"DATETIME", FieldType::Date},   {"DATE", FieldType::Date},
        {"TIME", FieldType::Date},       {"TIMESTAMP", FieldType::Date},
    };
    const auto it = names.constFind(name);
    if (it == names.constEnd())
        return std::nullopt;
    return it.value();
}

int declaredSize(const QString &declared)
{
    static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)"));
    const QRegularExpressionMatch m = size.match(declared);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace jet
