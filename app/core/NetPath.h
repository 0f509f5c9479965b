// The folder picker with a title and a start folder.
#pragma once

#include <QString>

class QWidget;

namespace pendra {

// The chosen folder followed by one "/" (the root gives "//"), or "" when the user cancels.
// A failure is logged (BrowseForFolder, "NetPath") and gives "".
QString BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder);

}  // namespace pendra
