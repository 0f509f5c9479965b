// Preview keys: the toolbar's buttons and actions are Qt's own; they are found, not rebuilt.
#include "PreviewKeys.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QToolButton>

namespace forms {

void enablePreviewKeys(QPrintPreviewDialog *preview)
{
    for (QToolButton *button : preview->findChildren<QToolButton *>())
        button->setFocusPolicy(Qt::TabFocus);
    // The preview names its print action through Qt's catalogue, in whatever language is loaded.
    const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : preview->findChildren<QAction *>()) {
        if (action->text() == print) {
            action->setShortcut(QKeySequence::Print);
            action->setShortcutContext(Qt::WindowShortcut);
        }
    }
}

}  // namespace forms
