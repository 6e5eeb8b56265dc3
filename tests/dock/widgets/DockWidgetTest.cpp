// The dock and its bars as widgets, on a form laid out like the main window.

#include <gtest/gtest.h>

#include <QTest>

#include "QtPrinters.h"
#include "TestForm.h"

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

}  // namespace
}  // namespace zb
