#pragma once
// Lets the application process its pending events while the engine works on a file (after every
// buffer fill and before every reported line). The application installs the hook; by default it
// does nothing.

#include <functional>

namespace zb {

using ProcessMessagesHook = std::function<void()>;

// Installs the hook (an empty function removes it) and returns the one it replaces.
ProcessMessagesHook SetProcessMessagesHook(ProcessMessagesHook hook);

// Runs the installed hook, if any.
void ProcessMessages();

}  // namespace zb
