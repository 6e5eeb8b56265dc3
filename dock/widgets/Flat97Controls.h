#pragma once
// The process-wide list of flat-control classes: an edit box draws its hot border while the
// mouse is over it only when the focused control is not of one of these classes.

#include <QMetaObject>
#include <QWidget>

namespace zb {

void Register97ControlClass(const QMetaObject* cls);
// Whether the control's class, or a class it derives from, is registered.
bool ControlIs97Control(const QWidget* control);

}  // namespace zb
