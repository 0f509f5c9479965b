// Dialog service for tests: records every call and answers from a script, never waits.
#pragma once

#include "DialogService.h"

#include <QQueue>
#include <QVector>
#include <functional>

namespace forms {

struct DialogCall {
    enum Kind { MsgBox, InputBox, OpenFile, SaveFile, Color, Folder, Printer };
    Kind kind = MsgBox;
    QString prompt;       // message / input prompt
    QString title;        // as passed (empty when none)
    int style = 0;        // message box style
    QString defaultText;  // input box
    FileRequest file;     // open / save
    OleColor color = 0;   // colour dialog: the initial colour
    QString startFolder;  // folder picker
    bool hadOwner = false;  // folder picker: an owner window was passed
};

// Each kind of dialog answers from its own queue, in order; each call is a NestedLoop, as the real
// dialog's event loop is. With nothing scripted a message box
// answers its default button and every other dialog answers as if cancelled.
class ScriptedDialogService : public DialogService {
public:
    void answerMsgBox(int answer) { m_msg.enqueue(answer); }
    void answerInput(const QString &text) { m_input.enqueue(text); }
    void answerFile(const QString &path) { m_file.enqueue(path); }  // open and save share it
    void answerColor(std::optional<OleColor> color) { m_color.enqueue(color); }
    void answerFolder(const QString &folder) { m_folder.enqueue(folder); }
    void answerPrinter(bool accepted) { m_printer.enqueue(accepted); }
    // What the user does elsewhere while the next message box waits (an assistive tool pressing a
    // button of the window behind it); then the box's own event loop runs once, as a real box's
    // would, before it answers.
    void whileNextMsgBoxIsOpen(std::function<void()> action) { m_whileOpen.enqueue(std::move(action)); }

    const QVector<DialogCall> &calls() const { return m_calls; }
    QVector<DialogCall> calls(DialogCall::Kind kind) const;
    // Only the message boxes, their prompts in order: the most common check.
    QStringList messages() const;
    void clear();

    int msgBox(const QString &prompt, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFile(const FileRequest &request) override;
    QString saveFile(const FileRequest &request) override;
    std::optional<OleColor> chooseColor(OleColor initial) override;
    QString browseForFolder(QWidget *owner, const QString &title, const QString &startFolder) override;
    bool choosePrinter(QPrinter *printer) override;

private:
    QString fileCall(DialogCall::Kind kind, const FileRequest &request);

    QVector<DialogCall> m_calls;
    QQueue<int> m_msg;
    QQueue<QString> m_input;
    QQueue<QString> m_file;
    QQueue<std::optional<OleColor>> m_color;
    QQueue<QString> m_folder;
    QQueue<bool> m_printer;
    QQueue<std::function<void()>> m_whileOpen;
};

}  // namespace forms
