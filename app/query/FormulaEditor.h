// What the formula editor does without a screen: the token entry rules, the new column's name and
// the evaluation of each row by the database engine on "qxt_utente.mdb".
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QComboBox;

namespace grid {
class FlexGridModel;
}

namespace pendra {

// True when every character is a digit, a letter A-Z or a-z, or backspace (code 8); true for "".
bool IsAlphaNumeric(const QString &text);

// One opening of the editor: the expression built so far, the column names of the snapshot and the
// evaluation connection (opened by the first row the engine evaluates, closed with the editor).
class FormulaEditor {
public:
    FormulaEditor();
    ~FormulaEditor();

    // Puts the snapshot (rows by columns, headers first) back into the grid, dropping any column
    // it does not hold, empties the expression and records the headers of columns 6 on.
    void Load(grid::FlexGridModel &grid, const QVector<QVector<QString>> &gridData);

    const QStringList &columnList() const { return m_columnList; }  // lstColonne, in column order
    const QString &expression() const { return m_expression; }      // lstFunzione

    // Token entry; each returns false, changing nothing, when the rules refuse the action.
    bool addColumn(const QString &name);  // a double-click on a column name
    bool addDigit(QChar digit);           // '0'-'9', or '.' (cmdVirgola)
    bool addBracket(QChar bracket);       // '(' or ')'
    bool addOperator(const QString &op);  // "+", "-", "*", "/", "^"
    bool addPercent();                    // "* 100"

    enum class Outcome {
        Nothing,      // empty expression
        Cancelled,    // no name given
        SyntaxError,  // the engine refused a row: the new column is gone again
        Done          // the column is written; the editor closes
    };
    // cmdEsegui on the grid the editor was loaded on: asks the name (dialog service), adds the
    // column and its name at the end of the sort list, evaluates every data row, then colorGrid.
    // After a syntax error the column and its sort item are removed again. Messages go through
    // the dialog service; errors other than the engine's reach the caller.
    Outcome Esegui(grid::FlexGridModel &grid, QComboBox &cmbOrdina, const std::function<void()> &colorGrid);

    // Closes the evaluation connection.
    void close();

private:
    struct Evaluator;
    // The new column's name; one that a column of the table already has (letter case aside) is
    // refused and asked again with what the user typed.
    QString askName(const QStringList &headers);
    void append(const QString &token, bool blank);

    QString m_expression;
    QString m_lastKind;  // "", "col", "ope" or "par"
    bool m_numberInProgress = false;
    QStringList m_columnList;
    QVector<QString> m_columnNames;  // by grid column; columns 0 to 5 empty
    int m_snapshotCols = 0;
    std::unique_ptr<Evaluator> m_evaluator;
};

}  // namespace pendra
