// Dialog service on Qt's own dialogs.
#pragma once

#include "DialogService.h"

namespace forms {

class QtDialogService : public DialogService {
public:
    int msgBox(const QString &prompt, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFile(const FileRequest &request) override;
    QString saveFile(const FileRequest &request) override;
    std::optional<OleColor> chooseColor(OleColor initial) override;
    QString browseForFolder(QWidget *owner, const QString &title, const QString &startFolder) override;
    bool choosePrinter(QPrinter *printer) override;
};

// "Excel|*.xlsx|All|*.*" in the original form becomes "Excel (*.xlsx);;All (*.*)".
QString toQtFilter(const QString &filter);

}  // namespace forms
