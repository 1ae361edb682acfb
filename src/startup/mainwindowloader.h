#pragma once

#include "mainwindowservices.h"

#include <QString>

#include <functional>
#include <memory>

class MessageService;
class ProfileStore;
class Settings;
class SignInGate;
class QWidget;

namespace startup {

// The browser module's entry point in a program folder; false, with the reason, when it is missing or broken.
bool loadBrowserModule(const QString &programFolder, BrowserModule::CreateMainWindow *create, QString *error = nullptr);

// The main window, loaded from the browser module after a successful sign-in; it keeps the program alive until it
// closes. Null, after a message that says why, when the module is missing or broken. engineStarting runs just before
// the web engine starts, when a page is first opened.
std::unique_ptr<QWidget> loadMainWindow(const QString &programFolder, ProfileStore &store, Settings &settings,
                                        SignInGate &gate, MessageService &messages,
                                        const std::function<void()> &engineStarting);

} // namespace startup
