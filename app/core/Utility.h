// Shared routines of every window: connections, the error log, window layout, help, sheet query, tree accordion.
#pragma once

#include "jet/Connection.h"

#include <QString>

class QObject;

namespace forms {
class Form;
}
namespace tree {
class TreeModel;
class TreeNode;
}
namespace vb {
class Error;
}

namespace pendra {

// Opens a connection on ConnPrefix + folder (DataPath when empty) + fileName, or on fileName as
// the whole connect string. On failure the error is logged (GetDbConnection, "Utility") and a
// closed connection is returned: the caller's first use of it fails into the caller's handler.
jet::Connection GetDbConnection(const QString &fileName, const QString &folder = QString(),
                                bool wholeString = false);

// The one error logger: deletes Files/MAPINFO.kvr, appends the line to Files/Error.log, shows
// "Errore : <description> Il File Error.log è stato riempito." and resets the pointer. Never fails
// towards its caller; a log that cannot be written loses the line only. Before the Files folder
// is known nothing is written.
void LogError(const QString &source, const QString &procedure, const QString &number,
              const QString &description);
// A window as source logs its name.
void LogError(const QObject *window, const QString &procedure, const QString &number,
              const QString &description);
// An error's detail (the system's own text) goes to the log after the description, never on screen.
void LogError(const QString &source, const QString &procedure, const vb::Error &error);
void LogError(const QObject *window, const QString &procedure, const vb::Error &error);
// The exact line LogError appends, with the current local date and time (CR LF included).
QString errorLogLine(const QString &source, const QString &procedure, const QString &number,
                     const QString &description);

// Common window set-up: no picture, button-face background; placed at the top, centred under the
// main window (the start page at the left, with its background picture).
void SetFormLayout(forms::Form &window);

// Opens the help file registered at start-up at the context id. Errors reach the caller.
void ShowHelp(qint32 contextId);

// Query of one metadata sheet; kind "Variabili" (exact case) reads variables, anything else
// indicators. Apostrophes of the code are doubled.
QString GetSqlScheda(const QString &kind, const QString &code);

// Accordion of the area trees: folds the other nodes whose keys pass the threshold that the
// clicked key's length sets, then unfolds the clicked node when it has children.
void CollapseTreeNodes(tree::TreeModel &nodes, tree::TreeNode *clicked);

// True when folder + fileName names an existing file (letter case ignored).
bool FileExists(const QString &folder, const QString &fileName);

}  // namespace pendra
