// The entry point of the browser module; its name is BrowserModule::kCreateMainWindow.
#include "mainwindow.h"

extern "C" Q_DECL_EXPORT QWidget *vaultryCreateMainWindow(const MainWindowServices *services)
{
    return new MainWindow(*services);
}
