// The program's run: the main window on one UI thread until it is closed.
#pragma once

namespace NEVO {

// Creates the application and the main window, runs the message loop until
// the window closes and destroys the window (which releases the bridge).
// Command-line arguments have no effect on the tool. Returns the exit code,
// always 0.
int RunApplication(int argc, char** argv);

}  // namespace NEVO
