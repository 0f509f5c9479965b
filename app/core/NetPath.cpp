// Folder picker through the dialog service.
#include "NetPath.h"

#include "Utility.h"

#include "forms/DialogService.h"
#include "vb/Error.h"

namespace pendra {

QString BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    try {
        const QString chosen = forms::dialogs().browseForFolder(owner, title, startFolder);
        return chosen.isEmpty() ? QString() : chosen + "/";
    } catch (const vb::Error &e) {
        LogError("NetPath", "BrowseForFolder", e);
    }
    return QString();
}

}  // namespace pendra
