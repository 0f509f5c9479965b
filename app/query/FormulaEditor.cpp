// The formula editor's rules and its evaluation: one prepared statement per expression on one
// connection to the user database, the cells of each row bound to it.
#include "FormulaEditor.h"

#include "app/core/AppState.h"
#include "forms/DialogService.h"
#include "forms/MousePointer.h"
#include "grid/FlexGridModel.h"
#include "jet/Connection.h"
#include "jet/Session.h"
#include "jet/Statement.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QComboBox>
#include <QLocale>

namespace pendra {

namespace {

// Columns 0 to 5 hold the territory; the data columns follow.
constexpr int FirstDataColumn = 6;

struct Token {
    QString text;
    int column = -1;  // the grid column of a column token; -1 for a literal
};

// A number typed with the digit and "." buttons, written as typed ("007", "12.50") but with the
// user's decimal separator ("1.5" is "1,5" in Italian), so the cell reads back as the number typed;
// empty when the text is no such number.
QString typedNumber(const QString &text)
{
    bool ok = false;
    (void)QLocale::c().toDouble(text, &ok);
    if (!ok)
        return QString();
    QString out = text;
    return out.replace(u'.', vb::userLocale().decimalPoint());
}

}  // namespace

bool IsAlphaNumeric(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == 8))
            return false;
    }
    return true;
}

// The connection to "qxt_utente.mdb" and the statement of the current expression, whose column
// tokens are parameters: the text is the same for every row, only the cells change.
struct FormulaEditor::Evaluator {
    jet::Connection connection;
    std::unique_ptr<jet::Statement> statement;
    QString statementText;
    bool reading = false;  // a read transaction spans the rows of one run

    // The value of one row (its column cells read as numbers), formatted with four decimals; "0" when "tabope" has no row. Errors
    // of the engine (the file, the table, the expression) throw.
    QString evaluate(const QString &expression, const QVector<double> &cells)
    {
        if (!connection.isOpen())
            connection.open(app().ConnPrefix + app().FilesPath + "qxt_utente.mdb");
        const QString sql = "Select Format(CDbl(" + expression + "), '0.0000') as exp1 from tabope";
        if (!statement || statementText != sql) {
            statement.reset();
            std::shared_ptr<jet::Session> session = connection.session();
            statement = std::make_unique<jet::Statement>(*session, session->translate(sql).sql);
            statementText = sql;
        }
        // Without a transaction each row would take and drop the file's lock and check the file again.
        if (!reading) {
            connection.session()->exec(QStringLiteral("BEGIN"));
            reading = true;
        }
        statement->reset();
        for (int i = 0; i < cells.size(); ++i)
            statement->bind(i + 1, vb::Variant(cells[i]));  // CDbl of the number is the number
        const bool row = statement->step();
        const QString result = row ? statement->value(0, std::nullopt).toString() : QStringLiteral("0");
        statement->reset();
        return result;
    }

    // Ends the read transaction of a run; nothing was written, so a failure to end it loses nothing.
    void endRows() noexcept
    {
        if (!reading)
            return;
        reading = false;
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                connection.session()->exec(QStringLiteral("COMMIT"));
                return;
            } catch (...) {
                // A statement a failed row left running holds the transaction: drop it, then end.
                statement.reset();
                statementText.clear();
            }
        }
    }
};

FormulaEditor::FormulaEditor() = default;

FormulaEditor::~FormulaEditor()
{
    close();
}

void FormulaEditor::close()
{
    m_evaluator.reset();
}

void FormulaEditor::Load(grid::FlexGridModel &grid, const QVector<QVector<QString>> &gridData)
{
    m_columnList.clear();
    m_expression.clear();
    m_lastKind.clear();
    m_numberInProgress = false;

    const int rows = static_cast<int>(gridData.size());
    const int cols = rows > 0 ? static_cast<int>(gridData[0].size()) : 0;
    // One repaint for the whole snapshot, not a change signal per cell.
    const bool redraw = grid.Redraw();
    grid.setRedraw(false);
    grid.setRows(rows);
    grid.setCols(cols);
    for (int r = 0; r < rows; ++r) {
        if (gridData[r].size() >= cols) {
            grid.setRowTexts(r, gridData[r]);  // the snapshot's rows are shared, not copied cell by cell
            continue;
        }
        for (int c = 0; c < gridData[r].size(); ++c)
            grid.setTextMatrix(r, c, gridData[r][c]);
    }
    grid.setRedraw(redraw);
    m_snapshotCols = cols;
    m_columnNames = QVector<QString>(cols);
    for (int c = FirstDataColumn; c < cols; ++c) {
        m_columnNames[c] = gridData[0][c];
        m_columnList << gridData[0][c];
    }
}

void FormulaEditor::append(const QString &token, bool blank)
{
    m_expression += token;
    if (blank)
        m_expression += u' ';
}

bool FormulaEditor::addColumn(const QString &name)
{
    if (m_lastKind == QLatin1String("col"))
        return false;
    append(name, true);
    m_numberInProgress = false;
    m_lastKind = QStringLiteral("col");
    app().UltimaColonna = name;
    return true;
}

bool FormulaEditor::addDigit(QChar digit)
{
    if (m_lastKind == QLatin1String("col") && !m_numberInProgress)
        return false;
    append(QString(digit), false);
    m_numberInProgress = true;
    m_lastKind = QStringLiteral("col");
    return true;
}

bool FormulaEditor::addBracket(QChar bracket)
{
    append(QString(bracket), true);
    m_numberInProgress = false;
    m_lastKind = QStringLiteral("par");
    return true;
}

bool FormulaEditor::addOperator(const QString &op)
{
    if (m_lastKind.isEmpty() || m_lastKind == QLatin1String("ope"))
        return false;
    append(op, true);
    m_numberInProgress = false;
    m_lastKind = QStringLiteral("ope");
    return true;
}

bool FormulaEditor::addPercent()
{
    if (m_lastKind.isEmpty() || m_lastKind == QLatin1String("ope"))
        return false;
    append(QStringLiteral("* 100"), true);
    m_numberInProgress = false;
    return true;
}

QString FormulaEditor::askName(const QStringList &headers)
{
    AppState &a = app();
    a.NumFunz = static_cast<qint16>(a.NumFunz + 1);
    const qsizetype underscore = a.UltimaColonna.indexOf(u'_');
    if (underscore >= 0)
        a.UltimaColonna = a.UltimaColonna.mid(underscore + 1);
    QString proposed = "Funz" + QString::number(a.NumFunz) + a.UltimaColonna;
    for (;;) {
        const QString name = forms::dialogs().inputBox("Inserire un nome per l'indicatore.", "Nome indicatore", proposed);
        if (!IsAlphaNumeric(name)) {
            forms::dialogs().msgBox("Il nome non deve contenere spazi o caratteri speciali.", forms::vbExclamation, "Attenzione!");
            continue;
        }
        // Two columns of one name: the sort would find the first and the map table could not hold both.
        if (!name.isEmpty() && headers.contains(name, Qt::CaseInsensitive)) {
            forms::dialogs().msgBox("La tabella ha già una colonna \"" + name + "\". Scegliere un altro nome.",
                                    forms::vbExclamation, "Attenzione!");
            proposed = name;
            continue;
        }
        return name;
    }
}

FormulaEditor::Outcome FormulaEditor::Esegui(grid::FlexGridModel &grid,
                                             QComboBox &cmbOrdina, const std::function<void()> &colorGrid)
{
    if (m_expression.isEmpty())
        return Outcome::Nothing;
    forms::setMousePointer(forms::MousePointer::Hourglass);
    m_numberInProgress = false;

    QString text = m_expression.trimmed();
    while (text.contains(QLatin1String("  ")))
        text.replace(QLatin1String("  "), QLatin1String(" "));
    QVector<Token> tokens;
    for (const QString &t : text.split(u' ')) {
        Token token{t};
        token.column = static_cast<int>(m_columnNames.indexOf(t));
        if (t.isEmpty())
            token.column = -1;
        tokens.append(token);
    }

    QStringList headers;
    for (int c = 0; c < grid.Cols() && grid.Rows() > 0; ++c)
        headers << grid.TextMatrix(0, c);
    const QString name = askName(headers);
    if (name.isEmpty()) {
        forms::setMousePointer(forms::MousePointer::Default);
        return Outcome::Cancelled;
    }

    // The row expression with a parameter for each column token; a whole number typed alone is
    // written as the user's locale reads it, without asking the engine.
    QString expression;
    QString constant;
    bool hasColumns = false;
    for (const Token &t : tokens) {
        expression += t.column >= 0 ? QStringLiteral("CDbl(?) ") : t.text + u' ';
        hasColumns = hasColumns || t.column >= 0;
    }
    if (!hasColumns)
        constant = typedNumber(expression.trimmed());

    const int newColumn = m_snapshotCols;
    grid.setCols(newColumn + 1);
    grid.setTextMatrix(0, newColumn, name);
    cmbOrdina.addItem(name);
    grid.setRedraw(false);
    struct RedrawOn {
        grid::FlexGridModel &g;
        ~RedrawOn() { g.setRedraw(true); }
    } redrawOn{grid};
    if (!m_evaluator)
        m_evaluator = std::make_unique<Evaluator>();
    struct EndRows {
        Evaluator &e;
        ~EndRows() { e.endRows(); }
    } endRows{*m_evaluator};

    // Each cell is read once, here; the statement gets the number, not the text to read again.
    QVector<double> cells;
    for (int r = 1; r < grid.Rows(); ++r) {
        cells.clear();
        bool empty = false;
        bool zeroDivisor = false;
        for (int i = 0; i < tokens.size() && !empty; ++i) {
            if (tokens[i].column < 0)
                continue;
            const QString cell = grid.TextMatrix(r, tokens[i].column);
            const std::optional<double> value = vb::parseNumber(cell);
            if (!value) {
                empty = true;
                break;
            }
            if (*value == 0 && i > 0 && tokens[i - 1].text.endsWith(u'/'))
                zeroDivisor = true;
            cells.append(*value);
        }
        QString result;
        if (!hasColumns && !constant.isEmpty()) {
            result = constant;
        } else if (!empty && !zeroDivisor) {
            try {
                result = m_evaluator->evaluate(expression, cells);
            } catch (const vb::Error &) {
                forms::dialogs().msgBox("L'espressione contiene errori di sintassi.", forms::vbExclamation, "ATTENZIONE!");
                grid.setCols(newColumn);
                // A name left in the sort list would name a column that is no longer there.
                cmbOrdina.removeItem(cmbOrdina.count() - 1);
                forms::setMousePointer(forms::MousePointer::Default);
                return Outcome::SyntaxError;
            }
        }
        grid.setTextMatrix(r, newColumn, result);
    }
    grid.setRedraw(true);
    colorGrid();
    return Outcome::Done;
}

}  // namespace pendra
