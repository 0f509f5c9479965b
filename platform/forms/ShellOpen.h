// Opening a file with the program the desktop associates with its type, as the shell's "Open" verb.
#pragma once

#include <QQueue>
#include <QString>
#include <QStringList>

namespace forms {

// Result codes of the shell's "Open": above 32 the file was handed to its program; otherwise the
// reason it was not.
enum ShellOpenResult : int {
    SE_ERR_FNF = 2,          // no such file
    SE_ERR_NOASSOC = 3,      // no program opens files of this type
    SE_ERR_BAD_FORMAT = 11,  // the file cannot be read
    SE_OPENED = 42           // handed to its program
};

// Implementations: the desktop's opener (xdg-open through QDesktopServices) and ScriptedShellOpener.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    // Never throws; returns one of ShellOpenResult.
    virtual int open(const QString &path) = 0;
};

// The installed opener; the desktop's unless a test installed another.
ShellOpener &shellOpener();
// Not owned; null puts the desktop's back.
void setShellOpener(ShellOpener *opener);

// For tests: records every path and answers from a queue (SE_OPENED when nothing is scripted).
class ScriptedShellOpener : public ShellOpener {
public:
    void answer(int result) { m_answers.enqueue(result); }
    const QStringList &opened() const { return m_opened; }
    int open(const QString &path) override;

private:
    QQueue<int> m_answers;
    QStringList m_opened;
};

// Installs an opener for one scope (a test) and puts the previous one back.
class ScopedShellOpener {
public:
    explicit ScopedShellOpener(ShellOpener &opener);
    ~ScopedShellOpener();
    ScopedShellOpener(const ScopedShellOpener &) = delete;
    ScopedShellOpener &operator=(const ScopedShellOpener &) = delete;

private:
    ShellOpener *m_previous;
};

}  // namespace forms
