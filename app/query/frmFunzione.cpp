// The formula editor's window: its controls, wired to FormulaEditor and to the data table window.
#include "frmFunzione.h"

#include "frm_dispData.h"

#include "app/core/AppState.h"
#include "app/core/Guarded.h"
#include "app/core/Utility.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "grid/FlexGrid.h"
#include "vb/Error.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace pendra {

namespace {

// The editor is described on the help page of the data table window.
constexpr qint32 HelpContextId = 1100;

QPushButton *button(QWidget *parent, const QString &objectName, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAccessibleName(caption);
    b->setAutoDefault(false);
    return b;
}

frm_dispData &table()
{
    frm_dispData *window = forms::FormRegistry::find<frm_dispData>();
    if (!window)
        throw vb::Error::of(91, "frmFunzione", QString(), "The data table window is not open");
    return *window;
}

}  // namespace

frmFunzione::frmFunzione() : forms::Form("frmFunzione")
{
    setMdiChild(false);
    setWindowTitle("Crea nuovo indicatore");
    setHelpContextId(HelpContextId);

    m_lstColonne = new QListWidget(this);
    m_lstColonne->setObjectName("lstColonne");
    m_lstColonne->setAccessibleName("Colonne");
    m_lstFunzione = new QLineEdit(this);
    m_lstFunzione->setObjectName("lstFunzione");
    m_lstFunzione->setAccessibleName("Espressione");
    m_lstFunzione->setReadOnly(true);
    for (int i = 0; i < 10; ++i)
        m_cmdNumero[i] = button(this, QString("cmdNumero(%1)").arg(i), QString::number(i));
    m_cmdVirgola = button(this, "cmdVirgola", ".");
    m_cmdSomma = button(this, "cmdSomma", "+");
    m_cmdDifferenza = button(this, "cmdDifferenza", "-");
    m_cmdMoltiplica = button(this, "cmdMoltiplica", "*");
    m_cmdRapporto = button(this, "cmdRapporto", "/");
    m_cmdEleva = button(this, "cmdEleva", "^");
    m_cmdParentesiAp = button(this, "cmdParentesiAp", "(");
    m_cmdParentesiCh = button(this, "cmdParentesiCh", ")");
    m_cmdPercentuale = button(this, "cmdPercentuale", "%");
    m_cmdReset = button(this, "cmdReset", "Reset");
    m_cmdEsegui = button(this, "cmdEsegui", "Esegui");
    m_cmdAnnulla = button(this, "cmdAnnulla", "Annulla");
    m_lblAiuto = new QLabel("Premere F1 per l'aiuto.", this);
    m_lblAiuto->setObjectName("lblAiuto");
    m_lblAiuto->setAccessibleName(m_lblAiuto->text());

    // Keypad: digits 7-8-9 / 4-5-6 / 1-2-3 / 0 and ".", operators in the next columns.
    auto *keypad = new QGridLayout;
    for (int i = 1; i <= 9; ++i)
        keypad->addWidget(m_cmdNumero[i], 2 - (i - 1) / 3, (i - 1) % 3);
    keypad->addWidget(m_cmdNumero[0], 3, 0, 1, 2);
    keypad->addWidget(m_cmdVirgola, 3, 2);
    keypad->addWidget(m_cmdSomma, 0, 3);
    keypad->addWidget(m_cmdDifferenza, 1, 3);
    keypad->addWidget(m_cmdMoltiplica, 2, 3);
    keypad->addWidget(m_cmdRapporto, 3, 3);
    keypad->addWidget(m_cmdParentesiAp, 0, 4);
    keypad->addWidget(m_cmdParentesiCh, 1, 4);
    keypad->addWidget(m_cmdEleva, 2, 4);
    keypad->addWidget(m_cmdPercentuale, 3, 4);

    auto *commands = new QHBoxLayout;
    commands->addWidget(m_lblAiuto);
    commands->addStretch();
    commands->addWidget(m_cmdReset);
    commands->addWidget(m_cmdEsegui);
    commands->addWidget(m_cmdAnnulla);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_lstColonne, 1);
    middle->addLayout(keypad);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lstFunzione);
    layout->addLayout(middle);
    layout->addLayout(commands);
    resize(560, 320);

    connect(m_lstColonne, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { lstColonne_DblClick(m_lstColonne->row(item)); });
    for (int i = 0; i < 10; ++i)
        connect(m_cmdNumero[i], &QPushButton::clicked, this, [this, i] { cmdNumero_Click(i); });
    connect(m_cmdVirgola, &QPushButton::clicked, this, &frmFunzione::cmdVirgola_Click);
    for (QPushButton *op : {m_cmdSomma, m_cmdDifferenza, m_cmdMoltiplica, m_cmdRapporto, m_cmdEleva})
        connect(op, &QPushButton::clicked, this, [this, op] { cmdOperatore_Click(op->text()); });
    connect(m_cmdParentesiAp, &QPushButton::clicked, this, [this] { cmdParentesi_Click(u'('); });
    connect(m_cmdParentesiCh, &QPushButton::clicked, this, [this] { cmdParentesi_Click(u')'); });
    connect(m_cmdPercentuale, &QPushButton::clicked, this, &frmFunzione::cmdPercentuale_Click);
    connect(m_cmdReset, &QPushButton::clicked, this, &frmFunzione::cmdReset_Click);
    connect(m_cmdEsegui, &QPushButton::clicked, this, &frmFunzione::cmdEsegui_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &frmFunzione::cmdAnnulla_Click);
}

void frmFunzione::formLoad()
{
    guarded(this, "Form_Load", [&] {
        SetFormLayout(*this);
        reload();
    });
}

void frmFunzione::reload()
{
    m_editor.Load(table().datagrid()->grid(), app().GridData);
    m_lstColonne->clear();
    m_lstColonne->addItems(m_editor.columnList());
    showExpression();
}

void frmFunzione::showExpression()
{
    m_lstFunzione->setText(m_editor.expression());
}

void frmFunzione::formUnload()
{
    m_editor.close();
    forms::setMousePointer(forms::MousePointer::Default);
}

void frmFunzione::lstColonne_DblClick(int index)
{
    guarded(this, "lstColonne_DblClick", [&] {
        if (index < 0 || index >= m_lstColonne->count())
            return;
        if (m_editor.addColumn(m_lstColonne->item(index)->text()))
            showExpression();
    });
}

void frmFunzione::cmdNumero_Click(int index)
{
    guarded(this, "cmdNumero_Click", [&] {
        if (m_editor.addDigit(QChar(u'0' + index)))
            showExpression();
    });
}

void frmFunzione::cmdVirgola_Click()
{
    guarded(this, "cmdVirgola_Click", [&] {
        if (m_editor.addDigit(u'.'))
            showExpression();
    });
}

void frmFunzione::cmdOperatore_Click(const QString &op)
{
    guarded(this, "cmdOperatore_Click", [&] {
        if (m_editor.addOperator(op))
            showExpression();
    });
}

void frmFunzione::cmdParentesi_Click(QChar bracket)
{
    guarded(this, "cmdParentesi_Click", [&] {
        if (m_editor.addBracket(bracket))
            showExpression();
    });
}

void frmFunzione::cmdPercentuale_Click()
{
    guarded(this, "cmdPercentuale_Click", [&] {
        if (m_editor.addPercent())
            showExpression();
    });
}

void frmFunzione::cmdReset_Click()
{
    guarded(this, "cmdReset_Click", [&] { reload(); });
}

void frmFunzione::cmdEsegui_Click()
{
    guarded(this, "cmdEsegui", [&] {
        frm_dispData &window = table();
        const FormulaEditor::Outcome outcome =
            m_editor.Esegui(window.datagrid()->grid(), *window.cmb_Ordina(), [&window] { window.ColorGridLines(); });
        if (outcome == FormulaEditor::Outcome::Done)
            unload();
    });
}

void frmFunzione::cmdAnnulla_Click()
{
    guarded(this, "cmdAnnulla_Click", [&] { unload(); });
}

}  // namespace pendra
