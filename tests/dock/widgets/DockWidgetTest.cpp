// The dock and its bars as widgets, on a form laid out like the main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QTest>

#include "QtPrinters.h"
#include "TestForm.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb {
namespace {

using test::Flush;
using test::TestForm;

TEST(DockWidgetTest, MainWindowRowsAndSizes) {
    TestForm f;
    EXPECT_EQ(f.Dock_Up->geometry(), QRect(0, 0, 452, 192));
    EXPECT_EQ(f.Toolbar_Menu->geometry(), QRect(0, 0, 217, 28));
    EXPECT_EQ(f.ToolWindow974->geometry(), QRect(358, 0, 89, 28));
    EXPECT_EQ(f.ToolWindow972->geometry(), QRect(2, 28, 445, 32));
    EXPECT_EQ(f.ToolWindow971->geometry(), QRect(0, 60, 447, 96));
    EXPECT_EQ(f.ToolWindow973->geometry(), QRect(0, 156, 447, 36));
    EXPECT_EQ(f.Toolbar_Menu->ClientArea()->geometry(), QRect(11, 2, 204, 24));
    EXPECT_EQ(f.ToolbarButtonSearchGet->geometry(), QRect(0, 0, 108, 24));
    EXPECT_EQ(f.ToolbarButton_SaveURLs->geometry(), QRect(108, 0, 96, 24));
    EXPECT_EQ(f.ToolWindow972->ClientArea()->size(), QSize(432, 28));
    EXPECT_EQ(f.Rest->geometry(), QRect(0, 192, 452, 76));
}

// Asks for a context menu at pos of top, as a right click there would: the widget under the point
// gets the request first.
void RequestMenu(QWidget* top, QPoint pos) {
    QWidget* w = top->childAt(pos);
    if (!w) w = top;
    QContextMenuEvent event(QContextMenuEvent::Mouse, w->mapFrom(top, pos), top->mapToGlobal(pos));
    QApplication::sendEvent(w, &event);
}

TEST(DockWidgetTest, ContextMenuRequestsReachTheBarOrTheDock) {
    TestForm f;
    f.Form.show();
    Flush();
    QString asked;
    f.Dock_Up->OnContextMenu = [&](TDock97*, QPoint) { asked = "dock"; };
    f.Toolbar_Menu->OnContextMenu = [&](TCustomToolWindow97* bar, QPoint) {
        asked = bar->objectName();
    };
    struct Case {
        QWidget* Where;
        QPoint Pos;
        QString Expected;
    };
    const Case cases[] = {
        {f.Toolbar_Menu, {4, 14}, "Toolbar_Menu"},  // the grip
        {f.Dock_Up, {300, 10}, "dock"},             // the free area of row 0
        {f.ToolWindow972, {4, 14}, "dock"},         // a bar without a handler of its own
    };
    for (const Case& c : cases) {
        asked.clear();
        RequestMenu(c.Where, c.Pos);
        EXPECT_EQ(asked, c.Expected) << c.Where->objectName().toStdString();
    }
    // Floating, the window's caption is the grip.
    f.Toolbar_Menu->SetDockedTo(nullptr);
    Flush();
    asked.clear();
    RequestMenu(f.Toolbar_Menu->FloatingWindow(), {20, 5});
    EXPECT_EQ(asked, "Toolbar_Menu");
}

}  // namespace
}  // namespace zb
