// What assistive technology reads of the dock widgets: toolbar buttons in their states, bars,
// a floating bar's window and separators.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <functional>

#include "TestForm.h"
#include "dock/widgets/TFloatingWindow97.h"
#include "dock/widgets/TToolbarSep97.h"

namespace zb {
namespace {

using test::Flush;
using test::TestForm;

QAccessibleInterface* Interface(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface) ADD_FAILURE() << "no accessible interface";
    return iface;
}

TEST(AccessibleTest, ToolbarButtonIsAPushButtonNamedByItsCaptionInEveryState) {
    const QString press = QAccessibleActionInterface::pressAction();
    struct Row {
        const char* Case;
        std::function<void(TToolbarButton97&)> Setup;
        const char* Name;
        bool Disabled, Checkable, Checked;
        QStringList Actions;
        QStringList KeyBindings;  // of the press action
        int Clicks;               // after pressing through the interface
    };
    const Row rows[] = {
        {"plain", [](TToolbarButton97&) {}, "Alpha & Beta", false, false, false, {press}, {}, 1},
        {"accelerator",
         [](TToolbarButton97& b) { b.SetCaption("&Alpha"); },
         "Alpha",
         false,
         false,
         false,
         {press},
         {"Alt+A"},
         1},
        {"disabled",
         [](TToolbarButton97& b) { b.setEnabled(false); },
         "Alpha & Beta",
         true,
         false,
         false,
         {},
         {},
         0},
        {"down in a group",
         [](TToolbarButton97& b) {
             b.SetGroupIndex(1);
             b.SetDown(true);
         },
         "Alpha & Beta",
         false,
         true,
         true,
         {press},
         {},
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Case);
        QWidget form;
        auto* button = new TToolbarButton97(&form);
        button->SetCaption("Alpha && Beta");
        int clicks = 0;
        button->OnClick = [&clicks] { ++clicks; };
        row.Setup(*button);
        QAccessibleInterface* iface = Interface(button);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::PushButton);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(row.Name));
        EXPECT_EQ(bool(iface->state().disabled), row.Disabled);
        EXPECT_EQ(bool(iface->state().checkable), row.Checkable);
        EXPECT_EQ(bool(iface->state().checked), row.Checked);
        QAccessibleActionInterface* actions = iface->actionInterface();
        ASSERT_NE(actions, nullptr);
        EXPECT_EQ(actions->actionNames(), row.Actions);
        EXPECT_EQ(actions->keyBindingsForAction(press), row.KeyBindings);
        actions->doAction(press);
        Flush();
        EXPECT_EQ(clicks, row.Clicks);
    }
}

TEST(AccessibleTest, BarsTheirFloatingWindowsAndSeparatorsHaveTheirRolesAndNames) {
    TestForm f;
    auto* separator = new TToolbarSep97(f.Toolbar_Menu);
    f.ToolWindow971->DoubleClickAction();
    Flush();
    ASSERT_NE(f.ToolWindow971->FloatingWindow(), nullptr);
    struct Row {
        QObject* Object;
        QAccessible::Role Role;
        const char* Name;
    };
    const Row rows[] = {
        {f.Toolbar_Menu, QAccessible::ToolBar, "Toolbar_Menu"},
        {f.ToolWindow974, QAccessible::Pane, "ToolWindow974"},
        {f.ToolWindow971, QAccessible::Pane, "ToolWindow971"},
        {f.ToolWindow971->FloatingWindow(), QAccessible::Window, "ToolWindow971"},
        {separator, QAccessible::Separator, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        QAccessibleInterface* iface = Interface(row.Object);
        if (!iface) continue;
        EXPECT_EQ(iface->role(), row.Role);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(row.Name));
    }
}

}  // namespace
}  // namespace zb
