// Translation of the Jet SQL dialect the program writes into the engine's own SQL.
#pragma once

#include <QString>
#include <functional>

namespace jet {

// Tokenizes and parses the statement and rewrites it: [bracketed] names, '...' and "..." literals,
// & (concatenation, Null as empty), ^ (power, above * and /), / (real division; by zero is error 11),
// nested INNER JOINs in parentheses, LIKE with % and _, and the functions Format, CDbl, CStr, CInt,
// CLng, InStr, Left, Right, Mid, Len, UCase, LCase, Trim, LTrim, RTrim, IIf, IsNull, Nz, Val.
// Bracketed names and string literals pass through untouched; comments are dropped; every name
// and alias written is quoted so it cannot end early. Throws vb::Error &H80004005 on a statement it
// cannot parse, and on nesting deeper than the engine allows.
QString translateSql(const QString &jetSql);

enum class StatementKind { Select, Insert, Update, Delete, CreateTable, DropTable, AlterTable,
                           CreateIndex, DropIndex, Other };

struct TranslateOptions {
    // A single-table SELECT also returns the table's row id as its first column, named
    // "__jet_rowid" (used by updatable record sets).
    bool withRowid = false;
    // The engine SQL to read a named table from instead of its name (a link's source table);
    // empty keeps the name. Used only with withRowid.
    std::function<QString(const QString &)> tableSource;
};

struct Translation {
    QString sql;
    StatementKind kind = StatementKind::Other;
    // The one table of a SELECT without joins, grouping, DISTINCT or aggregates (so updatable);
    // the target table of an action or DDL statement; empty otherwise.
    QString table;
    bool hasRowid = false;  // the first result column is the row id
};

Translation translate(const QString &jetSql, const TranslateOptions &options = TranslateOptions());

}  // namespace jet
