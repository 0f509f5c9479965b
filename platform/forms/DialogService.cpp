// The installed dialog service and the default answers of message box styles.
#include "DialogService.h"

#include "QtDialogService.h"

namespace forms {

namespace {
DialogService *g_installed = nullptr;

DialogService &qtService()
{
    static QtDialogService service;
    return service;
}
}  // namespace

int defaultAnswer(int style)
{
    static const int answers[6][3] = {
        {vbOK, vbOK, vbOK},
        {vbOK, vbCancel, vbCancel},
        {vbAbort, vbRetry, vbIgnore},
        {vbYes, vbNo, vbCancel},
        {vbYes, vbNo, vbNo},
        {vbRetry, vbCancel, vbCancel},
    };
    const int buttons = buttonsOf(style) <= 5 ? buttonsOf(style) : 0;
    const int which = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    return answers[buttons][which];
}

DialogService &dialogs()
{
    return g_installed ? *g_installed : qtService();
}

void setDialogs(DialogService *service)
{
    g_installed = service;
}

ScopedDialogs::ScopedDialogs(DialogService &service) : m_previous(g_installed)
{
    g_installed = &service;
}

ScopedDialogs::~ScopedDialogs()
{
    g_installed = m_previous;
}

}  // namespace forms
