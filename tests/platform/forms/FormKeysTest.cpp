// The keys every window answers: F1 for its help topic, Return for its default button, Esc to cancel,
// Tab in reading order from the first field a user types into.
#include "forms/FormRegistry.h"
#include "forms/ReadingOrder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QTabWidget>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace forms;

namespace {

class frmWithHelp : public Form {
public:
    frmWithHelp() : Form("frmWithHelp")
    {
        setHelpContextId(1200);
        field = new QLineEdit(this);
        field->move(10, 10);
        resize(200, 100);
    }
    QLineEdit *field;
};

class frmWithoutHelp : public Form {
public:
    frmWithoutHelp() : Form("frmWithoutHelp")
    {
        field = new QLineEdit(this);
        resize(200, 100);
    }
    QLineEdit *field;
};

QWidget *focusAndWait(QWidget *w)
{
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w->window()));
    w->setFocus();
    return w;
}

class FormKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        area.resize(800, 600);
        FormRegistry::setMdiArea(&area);
        area.show();
        Form::setHelpHandler([this](Form &w, qint32 id) { asked << w.name() + ":" + QString::number(id); });
    }
    void TearDown() override
    {
        Form::setHelpHandler({});
        FormRegistry::unloadAll();
        FormRegistry::setMdiArea(nullptr);
    }
    QMdiArea area;
    QStringList asked;
};

TEST_F(FormKeysTest, F1AsksForTheHelpTopicOfTheWindowThatHasTheFocus)
{
    auto *with = FormRegistry::show<frmWithHelp>();
    auto *without = FormRegistry::show<frmWithoutHelp>();
    QTest::keyClick(focusAndWait(with->field), Qt::Key_F1);
    EXPECT_EQ(asked, QStringList({"frmWithHelp:1200"}));
    asked.clear();
    QTest::keyClick(focusAndWait(without->field), Qt::Key_F1);
    EXPECT_TRUE(asked.isEmpty());
    // a window whose topic goes back to 0 stops answering
    with->setHelpContextId(0);
    QTest::keyClick(focusAndWait(with->field), Qt::Key_F1);
    EXPECT_TRUE(asked.isEmpty());
}

// A dialog with a window default, a search field with its own button, a multi-line text and a cancel button.
class frmDialog : public Form {
public:
    frmDialog() : Form("frmDialog")
    {
        setMdiChild(false);
        name = new QLineEdit(this);
        search = new QLineEdit(this);
        text = new QTextEdit(this);
        for (const char *caption : {"OK", "Ricerca", "Altro", "Annulla"}) {
            auto *b = new QPushButton(caption, this);
            QObject::connect(b, &QPushButton::clicked, [this, caption] { pressed << caption; });
            buttons << b;
        }
        setDefaultButton(buttons[0]);
        setDefaultButton(buttons[1], search);
        setCancelButton(buttons[3]);
        int y = 0;
        for (QWidget *w : std::initializer_list<QWidget *>{name, search, text, buttons[0], buttons[1], buttons[2], buttons[3]}) {
            w->setGeometry(0, y, 180, 24);
            y += 28;
        }
        resize(200, y);
    }
    QLineEdit *name, *search;
    QTextEdit *text;
    QList<QPushButton *> buttons;
    QStringList pressed;
};

TEST_F(FormKeysTest, ReturnPressesTheDefaultButtonAndEscTheCancelButton)
{
    auto *d = FormRegistry::show<frmDialog>();
    struct Case {
        const char *what;
        QWidget *focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QStringList pressed;
    };
    const Case cases[] = {
        {"Return in a field", d->name, Qt::Key_Return, {}, {"OK"}},
        {"keypad Enter in a field", d->name, Qt::Key_Enter, Qt::KeypadModifier, {"OK"}},
        {"Return in the search field", d->search, Qt::Key_Return, {}, {"Ricerca"}},
        {"Return on another button", d->buttons[2], Qt::Key_Return, {}, {"Altro"}},
        {"Return in a multi-line text", d->text, Qt::Key_Return, {}, {}},
        {"Esc in a field", d->search, Qt::Key_Escape, {}, {"Annulla"}},
        {"Esc on a button", d->buttons[0], Qt::Key_Escape, {}, {"Annulla"}},
        {"Ctrl+Return", d->name, Qt::Key_Return, Qt::ControlModifier, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        d->pressed.clear();
        QTest::keyClick(focusAndWait(c.focus), c.key, c.modifiers);
        EXPECT_EQ(d->pressed, c.pressed);
    }
    EXPECT_EQ(d->text->toPlainText(), "\n");  // the text kept its own Return

    // a disabled default or cancel button is not pressed
    d->buttons[0]->setEnabled(false);
    d->buttons[3]->setEnabled(false);
    d->pressed.clear();
    QTest::keyClick(focusAndWait(d->name), Qt::Key_Return);
    QTest::keyClick(d->name, Qt::Key_Escape);
    EXPECT_TRUE(d->pressed.isEmpty());
}

// Fields made in another order than they stand: two rows, and a tab page below them.
class frmScattered : public Form {
public:
    frmScattered() : Form("frmScattered")
    {
        auto *grid = new QGridLayout(this);
        auto add = [this, grid](QWidget *w, const char *name, int row, int col) {
            w->setObjectName(name);
            grid->addWidget(w, row, col);
        };
        add(new QPushButton("Cerca", this), "cerca", 1, 1);
        add(new QComboBox(this), "settore", 1, 0);
        add(new QLineEdit(this), "fino", 0, 1);
        add(new QLineEdit(this), "da", 0, 0);
        auto *tabs = new QTabWidget(this);
        auto *page = new QWidget;
        auto *pageGrid = new QGridLayout(page);
        auto *note = new QLineEdit(page);
        note->setObjectName("nota");
        auto *year = new QLineEdit(page);
        year->setObjectName("anno");
        pageGrid->addWidget(note, 1, 0);
        pageGrid->addWidget(year, 0, 0);
        tabs->addTab(page, "Pagina");
        add(tabs, "schede", 2, 0);
        resize(300, 240);
    }
};

TEST_F(FormKeysTest, TabFollowsReadingOrderFromTheFirstTypedField)
{
    auto *w = FormRegistry::show<frmScattered>();
    QStringList names;
    for (QWidget *f : readingOrder(w))
        if (!f->objectName().isEmpty())
            names << f->objectName();
    EXPECT_EQ(names, QStringList({"da", "fino", "settore", "cerca", "qt_tabwidget_tabbar", "anno", "nota"}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(w->window()));
    EXPECT_EQ(QApplication::focusWidget(), w->findChild<QLineEdit *>("da"));
    QWidget *next = w->findChild<QLineEdit *>("da")->nextInFocusChain();
    EXPECT_EQ(next, w->findChild<QLineEdit *>("fino"));
}

class frmPages : public Form {
public:
    frmPages() : Form("frmPages")
    {
        tabs = new QTabWidget(this);
        for (const char *name : {"Territorio", "Variabili", "Altro"}) {
            auto *page = new QLineEdit;
            page->setObjectName(name);
            tabs->addTab(page, name);
        }
        tabs->resize(280, 200);
        resize(300, 240);
    }
    QTabWidget *tabs;
};

TEST_F(FormKeysTest, CtrlPageDownAndUpTurnTheTabPagesInsideAWorkWindow)
{
    // Ctrl+Tab is the MDI area's (it cycles the work windows), so the pages turn with Ctrl+PgDown/PgUp.
    auto *w = FormRegistry::show<frmPages>();
    QWidget *field = focusAndWait(w->tabs->currentWidget());
    QTest::keyClick(field, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(w->tabs->currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(w->tabs->currentIndex(), 2);  // from the first page back to the last
}

}  // namespace
