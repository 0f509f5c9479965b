// Code list window.
#include "frmListaMetadati.h"

#include "app/core/Guarded.h"
#include "MetadataValues.h"
#include "MetadataWidgets.h"
#include "app/core/Utility.h"
#include "app/core/frmStart.h"

#include "jet/Recordset.h"
#include "vb/Error.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pendra {

namespace {
const QString kYears = "[1996] , [1997], [1998], [1999], [2000], [2001], [2002], [2003], [2004], [2005], [2006], "
                       "[2007], [2008] ";
}

frmListaMetadati::frmListaMetadati() : forms::Form("frmListaMetadati")
{
    setWindowTitle(" Variabili e indicatori");
    resize(720, 560);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(headingLabel(" Lista variabili e indicatori", this));
    auto *body = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    cmbVarInd = new QComboBox(this);
    cmbVarInd->setObjectName("cmbVarInd");
    cmbVarInd->setAccessibleName("Variabili e indicatori");
    lst_CodVar = new QListWidget(this);
    lst_CodVar->setObjectName("lst_CodVar");
    lst_CodVar->setAccessibleName("Codici");
    lst_CodVar->setMaximumWidth(160);
    left->addWidget(cmbVarInd);
    left->addWidget(lst_CodVar, 1);
    body->addLayout(left);
    auto *fields = new QGridLayout;
    auto box = [&](const QString &name, const QString &label, int row, bool multi) {
        auto *b = new TextBox(name, label, multi, this);
        auto *l = new QLabel(label, this);
        l->setBuddy(b);
        fields->addWidget(l, row, 0, Qt::AlignTop);
        fields->addWidget(b, row, 1);
        return b;
    };
    txtDescrizione = box("txtDescrizione", "Descrizione", 0, true);
    txtArgomento = box("txtArgomento", "Sottoarea", 1, false);
    txtSettore = box("txtSettore", "Area", 2, false);
    fields->addWidget(yearBoxes(this, txtAnniDisp, 44), 3, 0, 1, 2);
    // The description takes the height the window has to spare, so no blank band opens under the years.
    fields->setRowStretch(0, 1);
    body->addLayout(fields, 1);
    layout->addLayout(body, 1);
    layout->addLayout(helpAndCloseButtons(this, cmdHelp, cmdChiudi));

    connect(cmbVarInd, &QComboBox::currentIndexChanged, this, [this] { cmbVarInd_Click(); });
    connect(lst_CodVar, &QListWidget::currentRowChanged, this, [this] { lst_CodVar_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { guarded(this, "cmdHelp_Click", [] { ShowHelp(0); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, [this] { guarded(this, "cmdChiudi_Click", [this] { unload(); }); });
}

void frmListaMetadati::formLoad()
{
    guarded(this, "Form_Load", [this] {
        {
            const QSignalBlocker quiet(cmbVarInd);
            cmbVarInd->addItems({"Variabili", "Indicatori"});
            cmbVarInd->setCurrentIndex(-1);
        }
        m_connection = GetDbConnection("metadati.mdb");
        cmbVarInd->setCurrentIndex(0);
        SetFormLayout(*this);
    });
}

void frmListaMetadati::formActivate()
{
    guarded(this, "Form_Activate", [] { UnloadStartPage(); });
}

void frmListaMetadati::formUnload()
{
    try {
        m_connection.close();
    } catch (...) {
        // The window goes anyway.
    }
}

void frmListaMetadati::cmbVarInd_Click()
{
    guarded(this, "cmbVarInd_Click", [this] {
        {
            const QSignalBlocker quiet(lst_CodVar);
            lst_CodVar->clear();
        }
        for (TextBox *b : {txtDescrizione, txtArgomento, txtSettore})
            b->setText(QString());
        const QString kind = cmbVarInd->currentText();
        const QString sql = kind == u"Variabili"
            ? "SELECT IdVariabile FROM MetadatiVariabili WHERE InStr([CodiceArgomento],'- NO')=0 AND "
              "InStr([CodiceArgomento],'-NO')=0 order by IdVariabile;"
            : "SELECT IdIndicatore FROM MetadatiIndicatori WHERE InStr([Argomento],'- NO')=0 AND "
              "InStr([Argomento],'-NO')=0 order by IdIndicatore;";
        if (kind.isEmpty())
            return;
        jet::Recordset r;
        r.open(sql, m_connection, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        QStringList codes;
        while (!r.eof()) {
            codes << NullToString(r.value(0));
            r.moveNext();
        }
        r.close();
        const QSignalBlocker quiet(lst_CodVar);
        lst_CodVar->addItems(codes);
        // The view would keep the scroll offset of the list it showed before, hiding the first codes.
        lst_CodVar->scrollToTop();
    });
}

void frmListaMetadati::lst_CodVar_Click()
{
    guarded(this, "lst_CodVar_Click", [this] {
        for (TextBox *b : {txtDescrizione, txtArgomento, txtSettore})
            b->setText(QString());
        const QListWidgetItem *item = lst_CodVar->currentItem();
        if (!item)
            return;
        const QString code = sqlText(item->text());
        const QString sql = cmbVarInd->currentText() == u"Variabili"
            ? "SELECT MetadatiVariabili.DescVariabile, Argomento.[Codice argomento], [Desc argomento], "
              "Settore.idSettore, [Descrizione Settore], " + kYears +
              "FROM (Argomento INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = "
              "MetadatiVariabili.CodiceArgomento) INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore "
              "WHERE IdVariabile ='" + code + "';"
            : "SELECT MetadatiIndicatori.DescIndicatore, Argomento.[Codice argomento], [Desc argomento], "
              "Settore.idSettore, [Descrizione Settore], " + kYears +
              "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) INNER JOIN "
              "MetadatiIndicatori ON Argomento.[Codice argomento] = MetadatiIndicatori.Argomento "
              "WHERE IdIndicatore ='" + code + "';";
        jet::Recordset r;
        r.open(sql, m_connection, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
        if (!r.eof()) {
            txtDescrizione->setText(NullToString(r.value(0)));
            txtArgomento->setText(NullToString(r.value(1)) + " - " + NullToString(r.value(2)));
            txtSettore->setText(NullToString(r.value(3)) + " - " + NullToString(r.value(4)));
            for (int i = 0; i < YearCount; ++i)
                txtAnniDisp[i]->setText(NullToString(r.value(QString::number(FirstYear + i))).toUpper());
        }
        r.close();
    });
}

}  // namespace pendra
