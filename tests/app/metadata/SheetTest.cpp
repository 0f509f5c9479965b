// The variable and indicator sheets on the sample atlas: fields, words, flags, the opening rule.
#include "MetadataTestSupport.h"

#include "MetadataWindows.h"
#include "frmSchedaIndicatori.h"
#include "frmSchedaVariabili.h"
#include "app/core/AppState.h"
#include "app/core/MainMenu.h"
#include "app/core/Utility.h"

#include "forms/FormRegistry.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace pendra;
using forms::FormRegistry;

namespace {

class SheetTest : public metadatatest::MetadataTest {
protected:
    void SetUp() override
    {
        MetadataTest::SetUp();
        registerMetadataOpeners();
    }
    frmSchedaVariabili *variable(const QString &code)
    {
        app().SqlScheda = GetSqlScheda("Variabili", code);
        openRegisteredForm("FRMSCHEDAVARIABILI");
        return FormRegistry::find<frmSchedaVariabili>();
    }
    frmSchedaIndicatori *indicator(const QString &code)
    {
        app().SqlScheda = GetSqlScheda("Indicatori", code);
        openRegisteredForm("FRMSCHEDAINDICATORI");
        return FormRegistry::find<frmSchedaIndicatori>();
    }
    static QStringList years(const QVector<QLineEdit *> &boxes)
    {
        QStringList out;
        for (const QLineEdit *b : boxes)
            out << b->text();
        return out;
    }
};

TEST_F(SheetTest, VariableWithOddDataShowsItsYearsLevelAndCleanedNote)
{
    frmSchedaVariabili *w = variable("TE010");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(w->windowTitle(), "Scheda metadati variabili ");
    EXPECT_EQ(w->txtVariabili->text(), "TE010 - Superficie agricola utilizzata");
    // Blank, "-" and " - " sources of other years add nothing: one entry, then a blank line.
    EXPECT_EQ(w->txtFonti->text(), "2003: Indagine sulla struttura e produzione delle aziende agricole\r\n\r\n");
    EXPECT_EQ(w->txtEnti->text(), "2003: ISTAT\r\n\r\n");
    EXPECT_EQ(w->txtNoteAnni->text(), "2003: Dati campionari.\r\n\r\n");
    EXPECT_EQ(w->txtLivelloTerr->text(), "Provinciale");  // "p"
    EXPECT_EQ(w->txtNumProv->text(), "103");
    EXPECT_EQ(w->txtNoteSerie->text(), "Dati dell'indagine sulla struttura delle aziende: - seminativi; - "
                                       "'prati e pascoli'.");
    EXPECT_EQ(years(w->txtAnniDisp),
              QStringList({"", "", "", "", "N.A.", "", "", "P", "", "", "", "", ""}));
    EXPECT_TRUE(app().SchedaAperta);
}

TEST_F(SheetTest, VariableYearsComeInOrderAndAPdSubAreaLosesItsSuffix)
{
    frmSchedaVariabili *w = variable("DG030");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->txtArgomento->text().startsWith("B02 - ")) << w->txtArgomento->text().toStdString();
    EXPECT_TRUE(metadatatest::inOrder(w->txtFonti->text(), {"2004: ", "\r\n\r\n2005: ", "\r\n\r\n2006: "}));
    EXPECT_TRUE(w->txtFonti->text().endsWith("\r\n\r\n"));
    EXPECT_EQ(w->txtLivelloTerr->text(), "Provinciale");

    // A level other than P or R leaves the box as designed: empty.
    w = variable("AM020");
    EXPECT_EQ(w->txtLivelloTerr->text(), "");
    EXPECT_EQ(w->txtFonti->text(), "");
    EXPECT_EQ(w->txtAnniDisp[8]->text(), "R");  // "r" upper-cased
}

TEST_F(SheetTest, IndicatorDimensionsAndFlagsFollowTheirRules)
{
    struct Case {
        QString code, dimension;
        bool prov, sll, comune, datoP, sintesi;
    };
    const Case cases[] = {
        {"IAG001", "", false, true, false, false, true},                      // "b2", "SI", Prov Null
        {"IAG002", QString::fromUtf8("Funzionalità"), false, false, true, true, true},  // "C1", "si", Prov 0
    };
    for (const Case &c : cases) {
        frmSchedaIndicatori *w = indicator(c.code);
        ASSERT_NE(w, nullptr);
        SCOPED_TRACE(c.code.toStdString());
        EXPECT_TRUE(w->txtIndicatore->text().startsWith(c.code + " - "));
        EXPECT_EQ(w->txtValutazione->text(), c.dimension);
        EXPECT_EQ(w->chkProv->isChecked(), c.prov);
        EXPECT_EQ(w->chkSll->isChecked(), c.sll);
        EXPECT_EQ(w->chkComune->isChecked(), c.comune);
        EXPECT_EQ(w->chkDatoP->isChecked(), c.datoP);
        EXPECT_EQ(w->chkSintesi->isChecked(), c.sintesi);
    }
    EXPECT_EQ(indicator("IAS013")->txtValutazione->text(), "Dotazione");  // "B1"
    // The indicator sheet keeps a -PD code whole.
    frmSchedaIndicatori *w = indicator("IDG002");
    EXPECT_TRUE(w->txtArgomento->text().startsWith("B02-PD - "));
    EXPECT_EQ(indicator("IAG002")->txtAnniDisp[7]->text(), "P");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(SheetTest, UnknownCodeOrApostropheShowsTheMessageAndLogsNothing)
{
    frmSchedaVariabili *w = variable("X'Y01");
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].prompt, "Informazioni per la variabile non disponibili!");
    EXPECT_EQ(dialogs.calls()[0].style, forms::vbInformation);
    EXPECT_EQ(dialogs.calls()[0].title, "");
    EXPECT_EQ(w->txtVariabili->text(), "");
    indicator("IZZ999");
    EXPECT_EQ(dialogs.messages().last(), "Informazioni per l'indicatore non disponibili!");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(SheetTest, OpeningASheetReplacesTheLoadedOneOfItsKindWhateverTheFlagSays)
{
    EXPECT_TRUE(variable("AS001")->txtVariabili->text().startsWith("AS001 - "));
    indicator("IAS013");
    // The title bar closed nothing, or another window cleared the flag: the sheet still follows.
    app().SchedaAperta = false;
    frmSchedaVariabili *w = variable("AS013");
    EXPECT_TRUE(w->txtVariabili->text().startsWith("AS013 - "));
    EXPECT_EQ(w->txtFonti->text().count("\r\n\r\n"), 3);  // not appended to the previous code's text
    // The indicator sheet stays open beside it.
    ASSERT_NE(FormRegistry::find<frmSchedaIndicatori>(), nullptr);
    EXPECT_TRUE(FormRegistry::find<frmSchedaIndicatori>()->txtIndicatore->text().startsWith("IAS013"));
    w->cmdChiudi->click();
    EXPECT_FALSE(app().SchedaAperta);
    EXPECT_EQ(FormRegistry::find<frmSchedaVariabili>(), nullptr);
}

TEST_F(SheetTest, PrintKeyCutsTheFirstBox)
{
    EXPECT_EQ(SheetWindow::printKey("AS013 - Posti letto", 5), "AS013");
    EXPECT_EQ(SheetWindow::printKey("ABCD - Prova", 5), "ABCD");
    EXPECT_EQ(SheetWindow::printKey("IAS013 - Posti letto", 6), "IAS013");
    EXPECT_EQ(SheetWindow::printKey("AS0131 - Lungo", 5), "AS013");
    EXPECT_EQ(variable("AS013")->printKey(), "AS013");
    EXPECT_EQ(indicator("IAS013")->printKey(), "IAS013");
}

}  // namespace
