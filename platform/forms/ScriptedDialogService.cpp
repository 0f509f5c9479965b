// Recording, scripted dialogs for tests.
#include "ScriptedDialogService.h"

#include "FormRegistry.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>

namespace forms {

QVector<DialogCall> ScriptedDialogService::calls(DialogCall::Kind kind) const
{
    QVector<DialogCall> out;
    for (const DialogCall &c : m_calls)
        if (c.kind == kind)
            out.append(c);
    return out;
}

QStringList ScriptedDialogService::messages() const
{
    QStringList out;
    for (const DialogCall &c : m_calls)
        if (c.kind == DialogCall::MsgBox)
            out << c.prompt;
    return out;
}

void ScriptedDialogService::clear()
{
    m_calls.clear();
    m_msg.clear();
    m_input.clear();
    m_file.clear();
    m_color.clear();
    m_folder.clear();
    m_printer.clear();
    m_whileOpen.clear();
}

int ScriptedDialogService::msgBox(const QString &prompt, int style, const QString &title)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = DialogCall::MsgBox;
    c.prompt = prompt;
    c.style = style;
    c.title = title;
    m_calls.append(c);
    if (!m_whileOpen.isEmpty()) {
        m_whileOpen.dequeue()();
        QEventLoop boxLoop;
        QTimer::singleShot(0, &boxLoop, &QEventLoop::quit);
        boxLoop.exec();
    }
    return m_msg.isEmpty() ? defaultAnswer(style) : m_msg.dequeue();
}

QString ScriptedDialogService::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = DialogCall::InputBox;
    c.prompt = prompt;
    c.title = title;
    c.defaultText = defaultText;
    m_calls.append(c);
    return m_input.isEmpty() ? QString() : m_input.dequeue();
}

QString ScriptedDialogService::fileCall(DialogCall::Kind kind, const FileRequest &request)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = kind;
    c.title = request.title;
    c.file = request;
    m_calls.append(c);
    return m_file.isEmpty() ? QString() : m_file.dequeue();
}

QString ScriptedDialogService::openFile(const FileRequest &request)
{
    return fileCall(DialogCall::OpenFile, request);
}

QString ScriptedDialogService::saveFile(const FileRequest &request)
{
    return fileCall(DialogCall::SaveFile, request);
}

std::optional<OleColor> ScriptedDialogService::chooseColor(OleColor initial)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = DialogCall::Color;
    c.color = initial;
    m_calls.append(c);
    return m_color.isEmpty() ? std::nullopt : m_color.dequeue();
}

QString ScriptedDialogService::browseForFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = DialogCall::Folder;
    c.title = title;
    c.startFolder = startFolder;
    c.hadOwner = owner != nullptr;
    m_calls.append(c);
    return m_folder.isEmpty() ? QString() : m_folder.dequeue();
}

bool ScriptedDialogService::choosePrinter(QPrinter *)
{
    NestedLoop nested;
    DialogCall c;
    c.kind = DialogCall::Printer;
    m_calls.append(c);
    return m_printer.isEmpty() ? false : m_printer.dequeue();
}

}  // namespace forms
