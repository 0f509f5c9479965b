// Shared routines: GetDbConnection, LogError, SetFormLayout, ShowHelp, GetSqlScheda, CollapseTreeNodes.
#include "Utility.h"

#include "AppState.h"
#include "Pictures.h"
#include "frmMainMDI.h"

#include "forms/DialogService.h"
#include "forms/FormRegistry.h"
#include "forms/MousePointer.h"
#include "forms/WorkArea.h"
#include "tree/TreeModel.h"
#include "vb/Conversions.h"
#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QDateTime>
#include <QFile>
#include <QSet>

#ifdef PENDRA_HAVE_HELP
#include "forms/help/HelpViewer.h"
#endif

namespace pendra {

jet::Connection GetDbConnection(const QString &fileName, const QString &folder, bool wholeString)
{
    jet::Connection conn;
    try {
        const QString dir = folder.isEmpty() ? app().DataPath : folder;
        conn.open(wholeString ? fileName : app().ConnPrefix + dir + fileName);
    } catch (const vb::Error &e) {
        LogError("Utility", "GetDbConnection", e);
    }
    return conn;
}

QString errorLogLine(const QString &source, const QString &procedure, const QString &number,
                     const QString &description)
{
    const QDateTime now = QDateTime::currentDateTime();
    return vb::DateText(now.date()) + " " + vb::TimeText(now.time()) + " - Module:" + source +
           " Function: " + procedure + " Error N." + number + " Description:" + description + "\r\n";
}

namespace {
void logAndShow(const QString &source, const QString &procedure, const QString &number,
                const QString &description, const QString &detail)
{
    // Each step runs even when the one before failed: the user must always see the message.
    const QString files = app().FilesPath;
    bool logged = false;
    if (!files.isEmpty()) {
        try {
            const QString stale = vb::findFileNoCase(files, "MAPINFO.kvr");
            if (!stale.isEmpty())
                QFile::remove(stale);
        } catch (const vb::Error &) {
        }
        try {
            const QString text = detail.isEmpty() ? description : description + " [" + detail + "]";
            vb::appendText(files + "Error.log", errorLogLine(source, procedure, number, text));
            logged = true;
        } catch (const vb::Error &) {
        }
    }
    // The log is named only when the line is in it.
    forms::dialogs().msgBox("Errore : " + description + (logged ? " Il File Error.log è stato riempito." : ""),
                            forms::vbExclamation);
    forms::setMousePointer(forms::MousePointer::Default);
}
}  // namespace

void LogError(const QString &source, const QString &procedure, const QString &number,
              const QString &description)
{
    logAndShow(source, procedure, number, description, QString());
}

void LogError(const QObject *window, const QString &procedure, const QString &number,
              const QString &description)
{
    LogError(window ? window->objectName() : QString(), procedure, number, description);
}

void LogError(const QString &source, const QString &procedure, const vb::Error &error)
{
    logAndShow(source, procedure, QString::number(error.number()), error.description(), error.detail());
}

void LogError(const QObject *window, const QString &procedure, const vb::Error &error)
{
    LogError(window ? window->objectName() : QString(), procedure, error);
}

void SetFormLayout(forms::Form &window)
{
    window.setPicture(QPixmap());
    window.setBackColor(forms::ButtonFace);
    const QString name = window.name();
    if (name != "frmMainMDI") {
        // Centred on the width it keeps once shrunk to the work area, and never past its edges.
        forms::fitInWorkArea(window.frame());
        double left = 0;
        if (name != "frmStart") {
            const frmMainMDI *main = forms::FormRegistry::find<frmMainMDI>();
            const double mainWidth = main ? main->widthTwips() : window.widthTwips();
            left = (mainWidth - window.widthTwips()) / 2;
        }
        window.moveTwips(left, 0);
        forms::fitInWorkArea(window.frame());
    }
    if (name == "frmStart")
        CaricaSfondoForm(window);
}

void ShowHelp(qint32 contextId)
{
#ifdef PENDRA_HAVE_HELP
    forms::showHelp(app().HelpFile, contextId);
#else
    Q_UNUSED(contextId);
    throw vb::Error(vb::err::FileNotFound, "La Guida non è disponibile in questa versione.", "ShowHelp",
                    "help not available");
#endif
}

QString GetSqlScheda(const QString &kind, const QString &code)
{
    // A code from the data may hold an apostrophe; doubled, it stays inside the literal.
    const QString quoted = QString(code).replace(u'\'', QStringLiteral("''"));
    if (kind == "Variabili")
        return "SELECT MetadatiVariabili.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] "
               "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) "
               "INNER JOIN MetadatiVariabili ON Argomento.[Codice argomento] = "
               "MetadatiVariabili.CodiceArgomento Where  IdVariabile  ='" + quoted + "';";
    return "SELECT MetadatiIndicatori.*, Argomento.[Desc argomento], Settore.[Descrizione Settore] "
           "FROM (Argomento INNER JOIN Settore ON Argomento.idSettore = Settore.idSettore) "
           "INNER JOIN MetadatiIndicatori ON Argomento.[Codice argomento] = "
           "MetadatiIndicatori.Argomento Where IdIndicatore ='" + quoted + "';";
}

void CollapseTreeNodes(tree::TreeModel &nodes, tree::TreeNode *clicked)
{
    const int len = int(clicked->key().size());
    // The key lengths tell the levels apart: 1 area, 3 sub-area, 5/6 code, 7+ year.
    int threshold = -1;
    if (len == 1)
        threshold = 0;
    else if (len == 3)
        threshold = 2;
    else if (len == 5 || len == 6)
        threshold = 4;
    if (threshold >= 0) {
        // Sub-area keys such as "B02-PD" pass the code threshold: the branch the user is in never folds.
        QSet<const tree::TreeNode *> ancestors;
        for (const tree::TreeNode *p = clicked->parent(); p; p = p->parent())
            ancestors.insert(p);
        for (int i = 1; i <= nodes.count(); ++i) {
            tree::TreeNode *n = nodes.item(i);
            if (n->key() != clicked->key() && n->key().size() >= threshold && !ancestors.contains(n))
                n->setExpanded(false);
        }
    }
    if (clicked->childCount() > 0)
        clicked->setExpanded(true);
}

bool FileExists(const QString &folder, const QString &fileName)
{
    // No folder must not mean the current folder.
    return !folder.isEmpty() && vb::fileExistsNoCase(folder, fileName);
}

}  // namespace pendra
