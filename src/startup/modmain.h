#pragma once

class clsAgentDB;

namespace modMain {

// The program-wide variables; there are no others.
// The one profile store, created by the start procedure before any window and kept until the process ends.
extern clsAgentDB *AgentDB;
// Whether the most recent keystroke-rhythm sign-in check succeeded.
extern bool bAccessGranted;

// The start procedure: returns the process exit code.
int Main(int argc, char **argv);

} // namespace modMain
