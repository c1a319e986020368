#pragma once

namespace app {

// On Windows the program is built for the desktop and starts without a console, so what it
// prints would go nowhere. Started from a command prompt, it attaches to the prompt's console and
// points stdout and stderr at it; a stream the caller redirected to a file or pipe stays where it
// goes. Started from the desktop, and on other systems, nothing changes.
void UseParentConsole();

} // namespace app
