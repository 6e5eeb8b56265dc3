#pragma once
// A form laid out like the application's main window: a top dock with the command toolbar
// (two buttons) and the logo window in row 0, the option check boxes in row 1, the keyword
// boxes in row 2 and the proxy fields in row 3; below the dock an area that fills the rest.

#include <QCheckBox>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include "dock/widgets/TDock97.h"
#include "dock/widgets/TEdit97.h"
#include "dock/widgets/TToolWindow97.h"
#include "dock/widgets/TToolbar97.h"
#include "dock/widgets/TToolbarButton97.h"

namespace zb::test {

class TestForm {
public:
    TestForm();
    ~TestForm();

    QWidget Form;
    TDock97* Dock_Up;
    TToolbar97* Toolbar_Menu;
    TToolbarButton97* ToolbarButtonSearchGet;
    TToolbarButton97* ToolbarButton_SaveURLs;
    TToolWindow97* ToolWindow974;
    QLabel* Image1;
    TToolWindow97* ToolWindow972;
    QCheckBox* CheckBox_AdultFilter;
    QCheckBox* CheckBox_UseProxy;
    QCheckBox* CheckBox_fromJapan;
    TToolWindow97* ToolWindow971;
    TEdit97* Edit_AndKeyWord;
    TEdit97* Edit_NotKeyWord;
    TToolWindow97* ToolWindow973;
    TEdit97* Edit_ProxyName;
    QWidget* Rest;
    int SearchClicks = 0;
    int SaveClicks = 0;
};

// Lets posted events (deferred layouts, deletions) run.
void Flush();
// The widget as painted, for pixel checks.
QImage Snapshot(QWidget* w);
QColor PixelAt(QWidget* w, int x, int y);

}  // namespace zb::test
