#include "app/parent_console.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#include <io.h>
#endif

namespace app {

#ifdef _WIN32

namespace {

// Whether the C runtime's stream has a file, pipe or console behind it: a desktop program's
// streams have none (their handle reads -2) unless the caller redirected them.
bool leadsSomewhere(FILE* stream)
{
    const int descriptor = _fileno(stream);
    return descriptor >= 0 && _get_osfhandle(descriptor) >= 0;
}

} // namespace

void UseParentConsole()
{
    const bool outputLeads = leadsSomewhere(stdout);
    const bool errorsLead = leadsSomewhere(stderr);
    if ((outputLeads && errorsLead) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FILE* reopened = nullptr;
    if (!outputLeads)
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    if (!errorsLead)
        freopen_s(&reopened, "CONOUT$", "w", stderr);
}

#else

void UseParentConsole() {}

#endif

} // namespace app
