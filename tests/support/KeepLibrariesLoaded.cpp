// Linked into the GL test programs of the AddressSanitizer build only. The GL
// driver and the X libraries are unloaded before the leak check runs, which
// leaves their leaks without a module name that a suppression could match;
// keeping every library mapped until exit lets tests/lsan.supp name them.

extern "C" int dlclose(void*)
{
    return 0;
}
