#pragma once

#include "mainwindowservices.h"

#include <QString>

#include <memory>

class MessageService;
class QWidget;

namespace modMain {

// The browser module found in a program folder: its entry point, or why there is none.
struct BrowserModuleLoad
{
    BrowserModule::CreateMainWindow create = nullptr;
    QString error;
};
BrowserModuleLoad LoadBrowserModule(const QString &programFolder);

// The main window, loaded from the browser module after a successful sign-in; it keeps the program alive until it
// closes. Null, after a message that says why, when the module is missing or broken.
std::unique_ptr<QWidget> LoadMainWindow(const QString &programFolder, MessageService &messages);

} // namespace modMain
