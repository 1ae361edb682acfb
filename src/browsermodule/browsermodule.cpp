// The entry point of the browser module; its name is BrowserModule::kCreateMainWindow.
#include "frmmain.h"

extern "C" Q_DECL_EXPORT QWidget *vaultryCreateMainWindow(const MainWindowServices *services)
{
    return new frmMain(*services);
}
