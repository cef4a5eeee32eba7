// The program's run: the main window on one UI thread until it is closed.
#pragma once

namespace d2xx {
class Backend;
}

namespace NEVO {

// Creates the application and the main window, runs the message loop until
// the window closes and destroys the window (which releases the bridge).
// Command-line arguments have no effect on the tool. Returns the exit code,
// always 0.
int RunApplication(int argc, char** argv);
// The same with `bridge` answering every library call for the whole run.
int RunApplicationOn(d2xx::Backend& bridge, int argc, char** argv);

}  // namespace NEVO
