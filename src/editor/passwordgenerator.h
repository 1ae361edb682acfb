#pragma once

#include <QRandomGenerator>
#include <QString>

// Random passwords for the profile dialog: letters, digits and the printable ASCII symbols, all of them single
// bytes in the database's code page. No space: the dialog trims what it stores.
namespace PasswordGenerator {

constexpr int kDefaultLength = 20;

QString alphabet();
// length characters, never more than maxLength (a text box's limit); drawn from the system's secure generator
// unless tests pass another.
QString generate(int maxLength, int length = kDefaultLength, QRandomGenerator *random = QRandomGenerator::system());

} // namespace PasswordGenerator
