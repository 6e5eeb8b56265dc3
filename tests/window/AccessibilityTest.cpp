// The main window as assistive technology reads it: every control's role and name, the labels
// that name the boxes, and the toolbar buttons pressed through their default action.

#include <gtest/gtest.h>

#include <QAccessible>

#include "WindowFixture.h"

namespace zb::test {
namespace {

using Accessibility = WindowTest;

QAccessibleInterface* Interface(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        ADD_FAILURE() << "no accessible interface for " << object->objectName().toStdString();
    return iface;
}

TEST_F(Accessibility, EveryControlHasItsRoleAndName) {
    // The status bar is named by what its panels show.
    Form.StatusBar1->SetPanelText(0, "Searching page 2");
    Form.StatusBar1->SetPanelText(1, "20");
    struct Row {
        QWidget* Control;
        QAccessible::Role Role;
        const char* Name;
        QWidget* Label;  // the label that names it
    };
    const Row rows[] = {
        {&Form, QAccessible::Window, "Zunbarra Image Search", nullptr},
        {Form.Toolbar_Menu, QAccessible::ToolBar, "Toolbar_Menu", nullptr},
        {Form.ToolbarButtonSearchGet, QAccessible::PushButton, "Search and Get", nullptr},
        {Form.ToolbarButton_SaveURLs, QAccessible::PushButton, "Save URLs", nullptr},
        {Form.ToolWindow974, QAccessible::Pane, "ToolWindow974", nullptr},
        {Form.Image1, QAccessible::Graphic, "Zunbarra", nullptr},
        {Form.ToolWindow972, QAccessible::Pane, "ToolWindow972", nullptr},
        {Form.CheckBox_AdultFilter, QAccessible::CheckBox, "Adult Filter", nullptr},
        {Form.CheckBox_UseProxy, QAccessible::CheckBox, "Use Proxy", nullptr},
        {Form.CheckBox_fromJapan, QAccessible::CheckBox, "from Japanease", nullptr},
        {Form.ToolWindow971, QAccessible::Pane, "ToolWindow971", nullptr},
        {Form.Edit_AndKeyWord, QAccessible::EditableText, "And KeyWord", Form.Label1},
        {Form.Edit_NotKeyWord, QAccessible::EditableText, "Not KeyWord", Form.Label2},
        {Form.ToolWindow973, QAccessible::Pane, "ToolWindow973", nullptr},
        {Form.Edit_ProxyName, QAccessible::EditableText, "Proxy", Form.Label3},
        {Form.NumIO_ProxyPort, QAccessible::EditableText, "Port", Form.Label4},
        {Form.Memo_URL, QAccessible::EditableText, "Thumbnail addresses", nullptr},
        {Form.StatusBar1, QAccessible::StatusBar, "Searching page 2, 20", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Control->objectName().toStdString());
        QAccessibleInterface* iface = Interface(row.Control);
        if (!iface) continue;
        EXPECT_EQ(iface->role(), row.Role);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(row.Name));
        const auto labels = iface->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), row.Label ? 1 : 0);
        if (row.Label) {
            EXPECT_EQ(labels[0].first->object(), row.Label);
        }
    }
}

TEST_F(Accessibility, TheButtonsDefaultActionClicksIt) {
    for (TToolbarButton97* button : {Form.ToolbarButtonSearchGet, Form.ToolbarButton_SaveURLs}) {
        QAccessibleActionInterface* actions = Interface(button)->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_FALSE(actions->actionNames().isEmpty());
        EXPECT_EQ(actions->actionNames().first(), QAccessibleActionInterface::pressAction());
        actions->doAction(actions->actionNames().first());
        Flush();
    }
    // The search ran (and found no And words), the save dialog was shown (and cancelled).
    EXPECT_EQ(Form.Session->LastOutcome().End, SearchEnd::NoWords);
    EXPECT_EQ(SaveDialogShown, 1);
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace zb::test
