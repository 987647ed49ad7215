// The explorer's entry: the one application object is built before main
// runs, as the shell expects, and StartUp does the rest.
#include "Application.h"
#include "DataFolder.h"

namespace
{

// Defined first: the application reads resources/locations.xml as it is
// built, so the data folder must be the working folder by then.
const std::string g_launchFolder = EnterDataFolder();
Application g_application;

} // namespace

int main(int argc, char** argv)
{
    // Screenshots go where the user started the explorer, not into the
    // installed data.
    g_application.SetScreenshotFolder(g_launchFolder);
    return RunApp(argc, argv);
}
