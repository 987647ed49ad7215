// The explorer's entry: the one application object is built before main
// runs, as the shell expects, and StartUp does the rest.
#include "Application.h"

namespace
{

Application g_application;

} // namespace

int main(int argc, char** argv)
{
    return RunApp(argc, argv);
}
