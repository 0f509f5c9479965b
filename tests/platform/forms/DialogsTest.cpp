// Dialog service: default answers of the styles, the scripted service, filters.
#include "forms/QtDialogService.h"
#include "forms/ScriptedDialogService.h"

#include <gtest/gtest.h>

using namespace forms;

TEST(Dialogs, DefaultAnswerOfEachStyle)
{
    struct Case { int style; int answer; };
    const Case cases[] = {
        {vbOKOnly, vbOK},
        {vbOKOnly | vbCritical, vbOK},
        {vbOKCancel | vbDefaultButton2, vbCancel},
        {vbYesNo | vbQuestion, vbYes},
        {vbYesNo | vbQuestion | vbDefaultButton2, vbNo},
        {vbYesNoCancel | vbExclamation | vbDefaultButton3, vbCancel},
        {vbAbortRetryIgnore, vbAbort},
        {vbRetryCancel | vbDefaultButton2, vbCancel},
    };
    for (const Case &c : cases)
        EXPECT_EQ(defaultAnswer(c.style), c.answer) << "style " << c.style;
    EXPECT_EQ(iconOf(vbYesNo | vbQuestion | vbDefaultButton2), vbQuestion);
    EXPECT_EQ(buttonsOf(vbYesNo | vbQuestion | vbDefaultButton2), vbYesNo);
}

TEST(Dialogs, ScriptedServiceRecordsCallsAndAnswersInOrder)
{
    ScriptedDialogService s;
    ScopedDialogs installed(s);
    s.answerMsgBox(vbNo);
    s.answerFolder("/data/db");
    s.answerColor(0x0000FF00u);

    EXPECT_EQ(dialogs().msgBox("Sovrascrivere?", vbYesNo | vbQuestion, "Creazione File Excel"), vbNo);
    EXPECT_EQ(dialogs().msgBox("Fatto", vbInformation), vbOK);  // nothing scripted: default button
    EXPECT_EQ(dialogs().browseForFolder(nullptr, "Scegli", "/start"), "/data/db");
    EXPECT_EQ(dialogs().browseForFolder(nullptr, "Scegli", ""), "");  // unscripted: cancelled
    EXPECT_EQ(dialogs().chooseColor(0x123456u), std::optional<OleColor>(0x0000FF00u));
    EXPECT_EQ(dialogs().chooseColor(0), std::nullopt);
    EXPECT_EQ(dialogs().inputBox("Nome", "", "x"), "");
    FileRequest req;
    req.title = "Salva";
    req.filter = "Excel|*.xlsx";
    EXPECT_EQ(dialogs().saveFile(req), "");
    EXPECT_FALSE(dialogs().choosePrinter(nullptr));

    ASSERT_EQ(s.calls().size(), 9);
    const DialogCall &first = s.calls().front();
    EXPECT_EQ(first.kind, DialogCall::MsgBox);
    EXPECT_EQ(first.title, "Creazione File Excel");
    EXPECT_EQ(first.style, vbYesNo | vbQuestion);
    EXPECT_EQ(s.messages(), QStringList({"Sovrascrivere?", "Fatto"}));
    ASSERT_EQ(s.calls(DialogCall::Folder).size(), 2);
    EXPECT_EQ(s.calls(DialogCall::Folder)[0].startFolder, "/start");
    EXPECT_EQ(s.calls(DialogCall::Color)[0].color, 0x123456u);
    EXPECT_EQ(s.calls(DialogCall::SaveFile)[0].file.filter, "Excel|*.xlsx");
}

TEST(Dialogs, ScopedInstallPutsThePreviousServiceBack)
{
    ScriptedDialogService outer, inner;
    ScopedDialogs a(outer);
    {
        ScopedDialogs b(inner);
        dialogs().msgBox("inner");
    }
    dialogs().msgBox("outer");
    EXPECT_EQ(inner.messages(), QStringList({"inner"}));
    EXPECT_EQ(outer.messages(), QStringList({"outer"}));
}

TEST(Dialogs, FiltersOfTheOriginalFormBecomeQtFilters)
{
    EXPECT_EQ(toQtFilter("Excel|*.xlsx"), "Excel (*.xlsx)");
    EXPECT_EQ(toQtFilter("Zip (*.zip)|*.zip|Tutti|*.*"), "Zip (*.zip);;Tutti (*.*)");
    EXPECT_EQ(toQtFilter("Immagini|*.bmp;*.jpg"), "Immagini (*.bmp *.jpg)");
    EXPECT_EQ(toQtFilter(""), "");
}
