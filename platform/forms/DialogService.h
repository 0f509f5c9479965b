// The one way to modal interaction: message box, input box, file, colour, folder and printer dialogs.
#pragma once

#include "OleColor.h"

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace forms {

// Message box styles: buttons + icon (+ default button), as the original constants add up.
enum MsgBoxStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512
};
// The answers.
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

constexpr int buttonsOf(int style) { return style & 0x7; }
constexpr int iconOf(int style) { return style & 0x70; }
// The answer of the default button of a style (first button unless vbDefaultButton2/3).
int defaultAnswer(int style);

// File dialog set-up. filter uses the original form "Description|*.ext|Other|*.x;*.y".
struct FileRequest {
    QString title;
    QString initDir;   // folder to start in; empty: the dialog's own choice
    QString fileName;  // proposed name
    QString filter;
    int filterIndex = 1;  // 1-based
    // Save dialogs: false when the caller asks about an existing file itself, so it is asked once.
    bool confirmOverwrite = true;
};

// Implementations: QtDialogService (real dialogs) and ScriptedDialogService (tests).
// Cancelled dialogs answer with an empty text (or no colour, or false); no call throws.
class DialogService {
public:
    virtual ~DialogService() = default;
    // An empty title shows the program's title, as the original does.
    virtual int msgBox(const QString &prompt, int style = vbOKOnly, const QString &title = QString()) = 0;
    virtual QString inputBox(const QString &prompt, const QString &title = QString(),
                             const QString &defaultText = QString()) = 0;
    virtual QString openFile(const FileRequest &request) = 0;  // full path, "" on cancel
    virtual QString saveFile(const FileRequest &request) = 0;
    virtual std::optional<OleColor> chooseColor(OleColor initial) = 0;
    // The chosen folder without a trailing "/" (the root stays "/"); "" on cancel.
    virtual QString browseForFolder(QWidget *owner, const QString &title, const QString &startFolder) = 0;
    // Lets the user set up the printer; false when cancelled.
    virtual bool choosePrinter(QPrinter *printer) = 0;
};

// The installed service; the Qt one unless a test installed another.
DialogService &dialogs();
// Not owned; null puts the Qt service back.
void setDialogs(DialogService *service);

// Installs a service for one scope (a test) and puts the previous one back.
class ScopedDialogs {
public:
    explicit ScopedDialogs(DialogService &service);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

private:
    DialogService *m_previous;
};

}  // namespace forms
