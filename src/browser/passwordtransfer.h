#pragma once

struct MainWindowServices;
class QWidget;

// Import of another program's password export into the store, with a preview first. Returns the number of
// profiles added (appended at the end of the store); 0 when nothing was stored.
int importPasswordFile(QWidget *parent, const MainWindowServices &services);

// Export of every profile to a CSV file, after a warning that the file holds every password in plain text.
void exportPasswordFile(QWidget *parent, const MainWindowServices &services);
