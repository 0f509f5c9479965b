// The glossary: its five modes, letters and areas, apostrophes, odd search texts, definitions, printing.
#include "MetadataTestSupport.h"

#include "frm_Glossario.h"

#include "forms/FormRegistry.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace pendra;
using forms::FormRegistry;

namespace {

class GlossarioTest : public metadatatest::MetadataTest {
protected:
    void SetUp() override
    {
        MetadataTest::SetUp();
        w = FormRegistry::show<frm_Glossario>();
    }
    QString enabledStates() const
    {
        QString out;
        for (const QWidget *c : {static_cast<const QWidget *>(w->txt_ricerca[0]),
                                 static_cast<const QWidget *>(w->cmb_alfabeto),
                                 static_cast<const QWidget *>(w->txt_ricerca[1]),
                                 static_cast<const QWidget *>(w->cmd_ricerca)})
            out += c->isEnabled() ? '1' : '0';
        return out;
    }
    void search(int box, const QString &text)
    {
        w->txt_ricerca[box]->setText(text);
        w->cmd_ricerca->click();
    }
    frm_Glossario *w = nullptr;
};

TEST_F(GlossarioTest, OpensOnTheLetterAWithAreasOtherThanA)
{
    EXPECT_EQ(w->windowTitle(), "Glossario");
    EXPECT_EQ(w->cmb_alfabeto->count(), 26);
    EXPECT_EQ(w->cmb_alfabeto->itemText(25), "Z");
    EXPECT_EQ(w->cmb_alfabeto->currentText(), "A");
    EXPECT_TRUE(w->Option1[1]->isChecked());
    EXPECT_EQ(enabledStates(), "0100");
    ASSERT_FALSE(w->terms().isEmpty());
    for (const QString &t : w->terms())
        EXPECT_TRUE(t.startsWith('A')) << t.toStdString();
    // The area list never offers "A"; descriptions and codes stay parallel.
    EXPECT_EQ(w->cmbSettore->count(), w->cmbIdSettore->count());
    for (int i = 0; i < w->cmbIdSettore->count(); ++i)
        EXPECT_NE(w->cmbIdSettore->itemText(i), "A");
    EXPECT_GT(w->cmbSettore->count(), 0);
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(GlossarioTest, OptionsSetTheEnabledStatesAndEmptyBothBoxes)
{
    const std::pair<int, const char *> rules[] = {{0, "1001"}, {1, "0100"}, {2, "0011"}, {3, "0000"}};
    for (const auto &[option, states] : rules) {
        w->txt_ricerca[0]->setText("x");
        w->txt_ricerca[1]->setText("y");
        w->Option1[option]->setChecked(true);
        EXPECT_EQ(enabledStates(), states) << option;
        EXPECT_EQ(w->txt_ricerca[0]->text(), "");
        EXPECT_EQ(w->txt_ricerca[1]->text(), "");
    }
    // All terms, sorted, though the table holds "Saldo naturale" before "Saldo migratorio".
    const QStringList all = w->terms();
    QStringList sorted = all;
    sorted.sort();
    EXPECT_EQ(all, sorted);
    EXPECT_GT(all.size(), 30);
    EXPECT_TRUE(all.contains("Valore non disponibile"));
    EXPECT_LT(all.indexOf("Saldo migratorio"), all.indexOf("Saldo naturale"));
    // Option 4 keeps the states of the option before it.
    w->Option1[2]->setChecked(true);
    w->txt_ricerca[1]->setText("Tasso");
    w->Option1[4]->setChecked(true);
    EXPECT_EQ(enabledStates(), "0011");
    EXPECT_EQ(w->txt_ricerca[1]->text(), "");
    // ... and "Ricerca" still searches by the enabled, filled box.
    search(1, "Tasso");
    ASSERT_FALSE(w->terms().isEmpty());
    for (const QString &t : w->terms())
        EXPECT_TRUE(t.startsWith("Tasso")) << t.toStdString();
}

TEST_F(GlossarioTest, SearchTextsWithApostrophesAndBracketsAreAnswered)
{
    w->Option1[0]->setChecked(true);
    search(0, "dell'");
    EXPECT_TRUE(w->terms().contains("Saldo dell'interscambio commerciale"));
    for (const QString &t : w->terms())
        EXPECT_TRUE(t.contains("dell'")) << t.toStdString();
    search(0, "[");
    EXPECT_TRUE(w->terms().isEmpty());
    search(0, "'");
    EXPECT_TRUE(w->terms().contains("Tasso d'attività"));
    w->Option1[2]->setChecked(true);
    search(1, "Tasso d'");
    EXPECT_EQ(w->terms(), QStringList({"Tasso d'attività"}));
    search(1, "[");
    EXPECT_TRUE(w->terms().isEmpty());
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Both boxes empty: the list stays.
    search(1, "Tasso");
    const QStringList before = w->terms();
    w->txt_ricerca[1]->clear();
    w->cmd_ricerca->click();
    EXPECT_EQ(w->terms(), before);
}

TEST_F(GlossarioTest, ReturnInASearchBoxSearchesAsRicercaDoes)
{
    struct Case {
        int option, box;
        const char *text;
        QStringList terms;
    };
    const Case cases[] = {{2, 1, "Tasso d'", {"Tasso d'attività"}}, {0, 0, "[", {}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        w->Option1[c.option]->setChecked(true);
        QLineEdit *box = w->txt_ricerca[c.box];
        box->setText(QString::fromUtf8(c.text));
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w->window()));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QStringList expected;
        for (const QString &t : c.terms)
            expected << t;
        EXPECT_EQ(w->terms(), expected);
    }
}

TEST_F(GlossarioTest, AreasTermsDefinitionsAndPrinting)
{
    w->cmbSettore->setCurrentIndex(0);
    EXPECT_EQ(w->cmbIdSettore->currentIndex(), 0);
    EXPECT_FALSE(w->terms().isEmpty());
    w->Option1[3]->setChecked(true);
    const QStringList all = w->terms();
    w->lst_NameVar->setCurrentRow(int(all.indexOf("Tasso d'attività")));
    EXPECT_EQ(w->txt_desc->text(), "Rapporto percentuale tra le forze di lavoro e la popolazione di riferimento.");
    w->lst_NameVar->setCurrentRow(int(all.indexOf("Valore non disponibile")));
    EXPECT_EQ(w->txt_desc->text(), "");
    w->lst_NameVar->setCurrentRow(int(all.indexOf("Tasso d'attività")));
    w->Cmd_print->click();
    EXPECT_EQ(shown, QStringList({"Stampa Glossario"}));
    // No printer: the same notice as the sheets give.
    EXPECT_EQ(dialogs.messages(),
              QStringList({QString::fromUtf8("Nessuna stampante installata: la stampa sarà salvata in un file PDF.")}));
    EXPECT_TRUE(metadatatest::inOrder(lastPdf, {"DENOMINAZIONE:", "Tasso d'attività", "DESCRIZIONE:", "Rapporto"}));

    // An empty list: clicking does nothing.
    w->Option1[0]->setChecked(true);
    search(0, "zzzz");
    EXPECT_TRUE(w->terms().isEmpty());
    w->lst_NameVar->setCurrentRow(-1);
    EXPECT_EQ(w->txt_desc->text(), "");
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(GlossarioTest, AllTermsStandInItalianOrder)
{
    changeMetadati({"INSERT INTO Glossario (nome, idsettore) VALUES ('Zeta lunga', 'B')",
                    "INSERT INTO Glossario (nome, idsettore) VALUES ('èra moderna', 'B')",
                    "INSERT INTO Glossario (nome, idsettore) VALUES ('Èra glaciale', 'B')",
                    "INSERT INTO Glossario (nome, idsettore) VALUES ('Erba', 'B')"},
                   {"DELETE FROM Glossario WHERE nome IN ('Zeta lunga', 'èra moderna', 'Èra glaciale', 'Erba')"});
    w->Option1[3]->setChecked(true);
    const QStringList all = w->terms();
    QStringList added;
    for (const QString &t : all)
        if (QStringList{"Zeta lunga", "èra moderna", "Èra glaciale", "Erba"}.contains(t))
            added << t;
    EXPECT_EQ(added.join(", ").toStdString(), "Èra glaciale, èra moderna, Erba, Zeta lunga");
    // Among the E of the sample's terms.
    const auto at = [&](const char *term) { return all.indexOf(QString::fromUtf8(term)); };
    EXPECT_GT(at("Èra glaciale"), at("Depositi bancari"));
    EXPECT_LT(at("Erba"), at("Esercizio alberghiero"));
}

// What the user does in a drop-down box: opens it and takes an entry, the one shown or another.
void pick(QComboBox *box, int index)
{
    box->showPopup();
    QAbstractItemView *view = box->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

TEST_F(GlossarioTest, TakingTheLetterOrAreaShownAgainKeepsTheListAndTheDefinition)
{
    const struct {
        QComboBox *box;
        int shown, other;
    } boxes[] = {{w->cmb_alfabeto, 0, 19}, {w->cmbSettore, 0, 1}};
    for (const auto &b : boxes) {
        pick(b.box, b.shown);
        ASSERT_EQ(b.box->currentIndex(), b.shown);
        const QStringList listed = w->terms();
        ASSERT_GE(listed.size(), 2) << b.box->accessibleName().toStdString();
        w->lst_NameVar->setCurrentRow(1);
        const QString definition = w->txt_desc->text();
        ASSERT_FALSE(definition.isEmpty());

        pick(b.box, b.shown);
        EXPECT_EQ(w->terms(), listed);
        EXPECT_EQ(w->lst_NameVar->currentRow(), 1) << b.box->accessibleName().toStdString();
        EXPECT_EQ(w->txt_desc->text(), definition);

        // Another entry lists its own terms.
        pick(b.box, b.other);
        EXPECT_EQ(b.box->currentIndex(), b.other);
        EXPECT_NE(w->terms(), listed);
        EXPECT_EQ(w->txt_desc->text(), "");
    }
    EXPECT_TRUE(logLines().isEmpty());
}

}  // namespace
