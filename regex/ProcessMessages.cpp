#include "regex/ProcessMessages.h"

#include <utility>

namespace zb {

namespace {
ProcessMessagesHook& installedHook() {
    static ProcessMessagesHook hook;
    return hook;
}
}  // namespace

ProcessMessagesHook SetProcessMessagesHook(ProcessMessagesHook hook) {
    return std::exchange(installedHook(), std::move(hook));
}

void ProcessMessages() {
    if (const ProcessMessagesHook& hook = installedHook()) hook();
}

}  // namespace zb
