#include "dock/widgets/Flat97Controls.h"

#include <algorithm>
#include <vector>

namespace zb {

namespace {
std::vector<const QMetaObject*>& Registered() {
    static std::vector<const QMetaObject*> classes;
    return classes;
}
}  // namespace

void Register97ControlClass(const QMetaObject* cls) {
    auto& list = Registered();
    if (std::find(list.begin(), list.end(), cls) == list.end()) list.push_back(cls);
}

bool ControlIs97Control(const QWidget* control) {
    if (!control) return false;
    for (const QMetaObject* cls : Registered())
        if (control->metaObject()->inherits(cls)) return true;
    return false;
}

}  // namespace zb
