#pragma once

#include <QString>

#include <memory>

class MessageService;
class QWidget;

namespace modMain {
// The main window, loaded after a successful sign-in; it keeps the program alive until it closes.
std::unique_ptr<QWidget> LoadMainWindow(const QString &programFolder, MessageService &messages);
} // namespace modMain
