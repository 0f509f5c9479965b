// Dialog service: default answers of the styles, the scripted service, filters, room for titles.
#include "forms/QtDialogService.h"
#include "forms/ScriptedDialogService.h"
#include "forms/TitleRoom.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
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

// Wide enough for the title in a desktop whose bold title font is half again as wide as the
// program's, beside a window icon and three buttons a title bar (1.6 lines) wide each.
int desktopTitleWidth(const QString &title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) * 3 / 2 + 4 * metrics.height() * 8 / 5;
}

TEST(Dialogs, EachDialogIsWideEnoughForItsTitle)
{
    struct Case {
        const char *title;
        const char *text;  // the dialog's only control
    };
    const Case cases[] = {
        {"Nome indicatore", "Nome:"},
        {"Selezione territorio", "Per quale tipo di terriorio?"},
        {"Nota", "x"},
        {"Crea nuovo indicatore", "Una riga di testo ben più larga del titolo della finestra, che decide da sola"},
    };
    for (const Case &c : cases) {
        QDialog dialog;
        dialog.setWindowTitle(QString::fromUtf8(c.title));
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QString::fromUtf8(c.text)));
        const int ownWidth = dialog.sizeHint().width();
        makeRoomForTitle(dialog);
        dialog.show();
        EXPECT_GE(dialog.width(), desktopTitleWidth(dialog.windowTitle())) << c.title;
        EXPECT_GE(dialog.width(), ownWidth) << c.title;
        EXPECT_GE(dialog.minimumWidth(), dialog.minimumSizeHint().width()) << c.title;
        if (ownWidth > desktopTitleWidth(dialog.windowTitle())) {
            EXPECT_EQ(dialog.width(), ownWidth) << c.title << ": its controls decide";
        }
    }
    QDialog untitled;
    EXPECT_EQ(titleRoom(untitled), 0);
}

TEST(Dialogs, TheInputBoxIsWideEnoughForItsTitle)
{
    QtDialogService service;
    int width = 0;
    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            width = box->width();
            title = box->windowTitle();
            box->close();
        }
    });
    EXPECT_EQ(service.inputBox("Inserire un nome per l'indicatore.", "Nome indicatore", "IND_1"), "");
    EXPECT_EQ(title, "Nome indicatore");
    EXPECT_GE(width, desktopTitleWidth(title));
}
