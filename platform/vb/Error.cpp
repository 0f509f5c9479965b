// Runtime error: construction and the runtime's standard descriptions.
#include "Error.h"

namespace vb {

Error::Error(qint32 number, QString description, QString source, QString detail)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_detail(std::move(detail)), m_what(m_description.toStdString())
{
}

QString Error::standardDescription(qint32 number)
{
    switch (number) {
    case err::InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow: return QStringLiteral("Overflow");
    case err::SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case err::DivisionByZero: return QStringLiteral("Division by zero");
    case err::TypeMismatch: return QStringLiteral("Type mismatch");
    case err::FileNotFound: return QStringLiteral("File not found");
    case err::DiskFull: return QStringLiteral("Disk full");
    case err::PathFileAccess: return QStringLiteral("Path/File access error");
    case err::PathNotFound: return QStringLiteral("Path not found");
    case err::InvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case err::ItemNotFound: return QStringLiteral("Item not found in this collection.");
    case err::NoCurrentRecord: return QStringLiteral("No current record.");
    case err::EngineRefused: return QStringLiteral("Unspecified error");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

Error Error::of(qint32 number, const QString &source)
{
    return Error(number, standardDescription(number), source);
}

}  // namespace vb
