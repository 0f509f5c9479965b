// What the program learns from its surroundings, each with a seam for tests: its folder, its end,
// whether another instance runs, and the application-wide settings.
#pragma once

#include <QString>
#include <functional>

namespace pendra {

// The folder of the running executable, without trailing "/"; tests point it at a fixture.
QString programFolder();
void setProgramFolder(const QString &folder);  // empty: the executable's folder again

// Thrown once the end hook returns, so a start-up check unwinds to the load handler without
// running anything further. Not a vb::Error: error handlers let it pass.
struct ProgramEnded {};

// Ends the program at once: the real hook leaves the process without unloading windows.
[[noreturn]] void endProgram();
void setEndHook(std::function<void()> hook);  // empty: the real one

// Takes the single-instance lock of this program folder for the life of the process (or until
// releaseInstanceLock). False when another process, or another holder in this one, has it.
bool acquireInstanceLock();
void releaseInstanceLock();
// The lock file lives in this folder (the temporary folder unless a test sets another).
void setInstanceLockFolder(const QString &folder);
QString instanceLockPath();

// Installs Qt's own Italian catalogue ("qtbase_it") on the running application, so the buttons
// and labels of Qt's dialogs speak the program's language. `folder` empty: Qt's translations
// folder. False (and nothing installed) when the catalogue cannot be loaded.
bool installQtTranslation(const QString &folder = QString());

// The running application's settings: C numeric conversions, the name "Pendra" (no display name,
// so window titles reach the desktop as the windows set them), Qt's Italian texts and the window
// icon "pendra.png" of the program's Images folder.
void setUpApplication();

}  // namespace pendra
