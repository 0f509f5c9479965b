// Glossary window.
#include "frm_Glossario.h"

#include "app/core/Guarded.h"
#include "MetadataValues.h"
#include "MetadataWidgets.h"
#include "SettoreCombos.h"
#include "rptGlossario.h"
#include "app/core/Utility.h"
#include "app/core/frmStart.h"

#include "forms/DialogService.h"
#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pendra {

frm_Glossario::frm_Glossario() : forms::Form("frm_Glossario")
{
    setWindowTitle("Glossario");
    setHelpContextId(3000);
    resize(720, 600);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(headingLabel(" Ricerca", this));

    auto *search = new QGridLayout;
    const char *captions[] = {"Il termine contiene :", "Ricerca per lettera", "Il termine inizia per :",
                              "Visualizza tutti i termini", "Ricerca per settore"};
    for (int i = 0; i < 5; ++i) {
        Option1[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setAccessibleName(Option1[i]->text());
    }
    for (int i = 0; i < 2; ++i) {
        txt_ricerca[i] = new QLineEdit(this);
        txt_ricerca[i]->setObjectName(QStringLiteral("txt_ricerca_%1").arg(i));
        txt_ricerca[i]->setAccessibleName(Option1[i == 0 ? 0 : 2]->text());
    }
    cmd_ricerca = new QPushButton("Ricerca", this);
    cmb_alfabeto = new QComboBox(this);
    cmb_alfabeto->setAccessibleName("Ricerca per lettera");
    cmbSettore = new QComboBox(this);
    cmbSettore->setAccessibleName("Ricerca per settore");
    cmbIdSettore = new QComboBox(this);
    cmbIdSettore->setAccessibleName("Codice settore");
    cmbIdSettore->hide();
    search->addWidget(Option1[0], 0, 0);
    search->addWidget(txt_ricerca[0], 0, 1);
    search->addWidget(cmd_ricerca, 0, 2, 2, 1);
    search->addWidget(Option1[2], 1, 0);
    search->addWidget(txt_ricerca[1], 1, 1);
    search->addWidget(Option1[1], 2, 0);
    search->addWidget(cmb_alfabeto, 2, 1);
    search->addWidget(Option1[4], 3, 0);
    search->addWidget(cmbSettore, 3, 1);
    search->addWidget(Option1[3], 4, 0);
    layout->addLayout(search);

    auto *results = new QGridLayout;
    auto *termsLabel = new QLabel("Denominazione", this);
    lst_NameVar = new QListWidget(this);
    lst_NameVar->setObjectName("lst_NameVar");
    lst_NameVar->setAccessibleName("Denominazione");
    termsLabel->setBuddy(lst_NameVar);
    auto *descLabel = new QLabel("Definizione", this);
    txt_desc = new TextBox("txt_desc", "Definizione", true, this);
    descLabel->setBuddy(txt_desc);
    results->addWidget(termsLabel, 0, 0);
    results->addWidget(descLabel, 0, 1);
    results->addWidget(lst_NameVar, 1, 0);
    results->addWidget(txt_desc, 1, 1);
    results->setColumnStretch(1, 1);
    layout->addLayout(results, 1);

    auto *buttons = new QHBoxLayout;
    Cmd_print = new QPushButton("Stampa", this);
    cmdHelp = new QPushButton("Help", this);
    cmdChiudi = new QPushButton("Chiudi", this);
    for (QPushButton *b : {cmd_ricerca, Cmd_print, cmdHelp, cmdChiudi})
        b->setAccessibleName(b->text());
    buttons->addStretch(1);
    buttons->addWidget(Cmd_print);
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdChiudi);
    layout->addLayout(buttons);

    // Return in a search text searches, as "Ricerca" does.
    for (QLineEdit *field : txt_ricerca)
        setDefaultButton(cmd_ricerca, field);
    for (int i = 0; i < 5; ++i)
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    connect(cmd_ricerca, &QPushButton::clicked, this, [this] { cmd_ricerca_Click(); });
    connect(cmb_alfabeto, &QComboBox::currentIndexChanged, this, [this] { cmb_alfabeto_Click(); });
    connect(cmbSettore, &QComboBox::currentIndexChanged, this, [this] { cmbSettore_Click(); });
    connect(lst_NameVar, &QListWidget::currentRowChanged, this, [this] { lst_NameVar_Click(); });
    connect(Cmd_print, &QPushButton::clicked, this, [this] { Cmd_print_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this,
            [this] { guarded(this, "cmdHelp_Click", [this] { ShowHelp(helpContextId()); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, [this] { guarded(this, "cmdChiudi_Click", [this] { unload(); }); });
}

void frm_Glossario::formLoad()
{
    guarded(this, "Form_Load", [this] {
        SetFormLayout(*this);
        {
            const QSignalBlocker quiet(cmb_alfabeto);
            for (char16_t c = u'a'; c <= u'z'; ++c)
                cmb_alfabeto->addItem(QString(QChar(c)).toUpper());
            cmb_alfabeto->setCurrentIndex(-1);
        }
        FillSettoreCombos(*cmbSettore, *cmbIdSettore);
        m_connection = GetDbConnection("metadati.mdb");
        cmb_alfabeto->setCurrentIndex(0);
        Option1[1]->setChecked(true);
    });
}

void frm_Glossario::formActivate()
{
    guarded(this, "Form_Activate", [] { UnloadStartPage(); });
}

void frm_Glossario::formUnload()
{
    try {
        m_connection.close();
    } catch (...) {
        // The window goes anyway.
    }
}

void frm_Glossario::Option1_Click(int index)
{
    struct States { bool contains, letter, begins, search; };
    static const States rules[] = {
        {true, false, false, true}, {false, true, false, false}, {false, false, true, true},
        {false, false, false, false}};
    guarded(this, "Option1_Click", [&] {
        if (index < 4) {
            const States &s = rules[index];
            txt_ricerca[0]->setEnabled(s.contains);
            cmb_alfabeto->setEnabled(s.letter);
            txt_ricerca[1]->setEnabled(s.begins);
            cmd_ricerca->setEnabled(s.search);
        }
        if (index == 3)
            listTerms("select nome from glossario order by 1;");
        txt_ricerca[0]->clear();
        txt_ricerca[1]->clear();
    });
}

void frm_Glossario::cmd_ricerca_Click()
{
    guarded(this, "cmd_ricerca_Click", [this] {
        const QString prefix = "select nome from glossario where nome ";
        if (txt_ricerca[0]->isEnabled() && !txt_ricerca[0]->text().isEmpty())
            listTerms(prefix + "like '%" + sqlText(txt_ricerca[0]->text()) + "%'");
        else if (txt_ricerca[1]->isEnabled() && !txt_ricerca[1]->text().isEmpty())
            listTerms(prefix + "like '" + sqlText(txt_ricerca[1]->text()) + "%'");
    });
}

void frm_Glossario::cmb_alfabeto_Click()
{
    guarded(this, "cmb_alfabeto_Click", [this] {
        listTerms("Select nome from glossario where left(nome,1) ='" + sqlText(cmb_alfabeto->currentText()) + "'");
    });
}

void frm_Glossario::cmbSettore_Click()
{
    guarded(this, "cmbSettore_Click", [this] {
        const int position = cmbSettore->currentIndex();
        if (position < 0)
            return;
        cmbIdSettore->setCurrentIndex(position);
        listTerms("Select nome from glossario where idsettore ='" + sqlText(cmbIdSettore->currentText()) + "'");
    });
}

void frm_Glossario::listTerms(const QString &sql)
{
    {
        const QSignalBlocker quiet(lst_NameVar);
        lst_NameVar->clear();
    }
    txt_desc->setText(QString());
    jet::Recordset r;
    r.open(sql, m_connection, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
    QStringList names;
    while (!r.eof()) {
        names << NullToString(r.value(0));
        r.moveNext();
    }
    r.close();
    const QSignalBlocker quiet(lst_NameVar);
    lst_NameVar->addItems(names);
}

QStringList frm_Glossario::terms() const
{
    QStringList out;
    for (int i = 0; i < lst_NameVar->count(); ++i)
        out << lst_NameVar->item(i)->text();
    return out;
}

void frm_Glossario::lst_NameVar_Click()
{
    guarded(this, "lst_NameVar_Click", [this] {
        const QListWidgetItem *item = lst_NameVar->currentItem();
        if (lst_NameVar->count() == 0 || !item)
            return;
        jet::Recordset r;
        r.open("select definizione from glossario where nome = '" + sqlText(item->text()) + "'", m_connection,
               jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        if (!r.eof())
            txt_desc->setText(NullToString(r.value(0)));
        r.close();
    });
}

void frm_Glossario::Cmd_print_Click()
{
    guarded(this, "Cmd_print_Click", [this] {
        const QListWidgetItem *item = lst_NameVar->currentItem();
        rptGlossario report;
        printReport(report, item ? item->text() : QString(), this);
    });
}

}  // namespace pendra
