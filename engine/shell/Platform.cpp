// The process-wide platform: the SDL one by default, a scripted one in tests.

#include "shell/Platform.h"

#include "shell/PlatformSDL.h"

namespace
{

CPlatform& DefaultPlatform()
{
    // A function-local static is destroyed after every object that finished
    // construction before its first use; CApp's constructor touches it first.
    static CPlatformSDL platform;
    return platform;
}

CPlatform* g_platform = nullptr;

} // namespace

CPlatform& GetPlatform()
{
    return g_platform ? *g_platform : DefaultPlatform();
}

CPlatform* SetPlatform(CPlatform* platform)
{
    CPlatform* previous = &GetPlatform();
    g_platform = platform;
    return previous;
}
