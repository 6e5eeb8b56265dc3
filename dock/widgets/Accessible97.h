#pragma once
// What assistive technology (screen readers, desktop test tools) reads of the dock widgets:
// a toolbar button is a push button named by its caption whose default action clicks it; a
// toolbar is a tool bar and a tool window a pane, both named by their caption; the window of a
// floating bar is a window named by the bar's caption; a separator is a separator.

namespace zb {

// Registers the interfaces with Qt's accessibility (once; the widgets call it as they are
// created).
void InstallAccessible97();

}  // namespace zb
