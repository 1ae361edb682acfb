#pragma once

class QString;

namespace modMain {
// The start procedure: returns the process exit code.
int Main(int argc, char **argv);
} // namespace modMain
