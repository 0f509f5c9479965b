// The start page: the text of Files/InfoZup.txt over the background picture, until a work window opens.
#pragma once

#include "forms/Form.h"

#include <QPlainTextEdit>

namespace pendra {

class frmStart : public forms::Form {
    Q_OBJECT
public:
    frmStart();

    // The label's text as loaded: every line of the file followed by CR LF.
    const QString &infoText() const { return m_info; }
    // Shown like a label; a text view, so that each line is appended once rather than the whole
    // text set again for every line.
    QPlainTextEdit *lblInfo() const { return m_lblInfo; }

protected:
    // Reads the text line by line, yielding after each; sizes the page to the main window and
    // applies the common layout. A failure is logged (Form_Load) and skips the remaining steps.
    void formLoad() override;

private:
    QPlainTextEdit *m_lblInfo;
    QString m_info;
};

// The one call for work windows that become active: unloads the start page when it is open.
void UnloadStartPage();

}  // namespace pendra
