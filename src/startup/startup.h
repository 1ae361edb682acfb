#pragma once

// The start procedure: one copy per program folder, the wallet opened, the sign-in, and the main window only after
// it passed. Returns the process's exit code.
namespace startup {

int run(int argc, char **argv);

} // namespace startup
