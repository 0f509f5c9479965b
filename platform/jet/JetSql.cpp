// Jet SQL translation (first cut: the engine reads the simple statements as they are).
#include "JetSql.h"

#include <QHash>
#include <QRegularExpression>

namespace jet {

Translation translate(const QString &jetSql, const TranslateOptions &options)
{
    Translation t;
    QString sql = jetSql.trimmed();
    while (sql.endsWith(u';'))
        sql.chop(1);
    const QString head = sql.section(u' ', 0, 0).toUpper();
    static const QHash<QString, StatementKind> kinds = {
        {"SELECT", StatementKind::Select}, {"INSERT", StatementKind::Insert},
        {"UPDATE", StatementKind::Update}, {"DELETE", StatementKind::Delete},
    };
    t.kind = kinds.value(head, StatementKind::Other);
    static const QRegularExpression single(
        QStringLiteral("^select\\s+\\*\\s+from\\s+(\\[[^\\]]+\\]|\\w+)(\\s.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = single.match(sql);
    if (m.hasMatch() && !m.captured(2).contains(QStringLiteral("join"), Qt::CaseInsensitive)) {
        QString name = m.captured(1);
        if (name.startsWith(u'['))
            name = name.mid(1, name.size() - 2);
        t.table = name;
        if (options.withRowid) {
            QString source = options.tableSource ? options.tableSource(name) : QString();
            const QString from = source.isEmpty() ? u'[' + name + u']' : source + QStringLiteral(" AS [") + name + u']';
            t.sql = QStringLiteral("SELECT [%1].rowid AS __jet_rowid, * FROM %2%3").arg(name, from, m.captured(2));
            t.hasRowid = true;
            return t;
        }
    }
    t.sql = sql;
    return t;
}

QString translateSql(const QString &jetSql)
{
    return translate(jetSql).sql;
}

}  // namespace jet
