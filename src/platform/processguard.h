#pragma once

// What the process allows others to see of it: the master password and every profile password lie in its memory.
namespace processguard {

// No core file, whatever the crash or signal; and no other process of the user may read the process's memory or
// attach a debugger. The first thing the program does.
void forbidDumps();
// The web engine's sandbox sets up its helper processes through files of /proc that a process closed to others
// closes to its own children as well: the program opens it for the moment the engine starts.
void setDumpable(bool dumpable);
// Drops every request for the web engine's remote-debugging port or pipe, which would let any local process drive
// the pages and read what is filled in: the environment variable, such switches among the arguments (argc and
// argv are shortened in place) and in the engine's flags variable, whose other flags stay. Says so once on
// stderr; true when there was any.
bool dropRemoteDebugging(int &argc, char **argv);

} // namespace processguard
