// The bar menu of the main window: showing and hiding bars, and putting them back where they
// stood at start.

#include <gtest/gtest.h>

#include <QMenu>

#include "WindowFixture.h"

namespace zb::test {
namespace {

using BarMenuTest = WindowTest;

QAction* Entry(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text) return action;
    ADD_FAILURE() << "no entry " << text.toStdString();
    return nullptr;
}

TEST_F(BarMenuTest, ListsTheBarsThenThumbnailsThenReset) {
    std::unique_ptr<QMenu> menu(Form.Bars.Build(&Form));
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(texts, (QStringList{"Toolbar_Menu", "ToolWindow974", "ToolWindow972", "ToolWindow971",
                                  "ToolWindow973", "-", "Thumbnails", "-", "Reset bar layout"}));
    EXPECT_TRUE(Entry(*menu, "ToolWindow972")->isChecked());
    EXPECT_FALSE(Entry(*menu, "Thumbnails")->isChecked());
}

TEST_F(BarMenuTest, HidesAndShowsABar) {
    std::unique_ptr<QMenu> menu(Form.Bars.Build(&Form));
    Entry(*menu, "ToolWindow972")->trigger();
    Flush();
    EXPECT_FALSE(Form.ToolWindow972->BarVisible());
    EXPECT_EQ(Form.Dock_Up->height(), 192 - 32);
    // A bar closed some other way comes back from the menu too.
    menu.reset(Form.Bars.Build(&Form));
    EXPECT_FALSE(Entry(*menu, "ToolWindow972")->isChecked());
    Entry(*menu, "ToolWindow972")->trigger();
    Flush();
    EXPECT_TRUE(Form.ToolWindow972->BarVisible());
    EXPECT_EQ(Form.ToolWindow972->geometry(), QRect(2, 28, 445, 32));
}

TEST_F(BarMenuTest, ResetPutsMovedFloatedAndHiddenBarsBack) {
    const QList<TCustomToolWindow97*> bars = {Form.Toolbar_Menu, Form.ToolWindow974,
                                              Form.ToolWindow972, Form.ToolWindow971,
                                              Form.ToolWindow973};
    QList<QRect> start;
    for (TCustomToolWindow97* bar : bars)
        start << bar->geometry();
    Form.ToolWindow974->SetDockedTo(nullptr);
    Form.ToolWindow973->SetDockRow(0);
    Form.ToolWindow973->SetDockPos(0);
    Form.ToolWindow971->hide();
    Form.Thumbnails->SetDockedTo(Form.Dock_Up);
    Flush();
    ASSERT_NE(Form.ToolWindow973->geometry(), start[4]);

    Form.Bars.ResetLayout();
    Flush();
    for (int i = 0; i < bars.size(); ++i) {
        SCOPED_TRACE(bars[i]->objectName().toStdString());
        EXPECT_EQ(bars[i]->DockedTo(), Form.Dock_Up);
        EXPECT_TRUE(bars[i]->BarVisible());
        EXPECT_EQ(bars[i]->geometry(), start[i]);
    }
    EXPECT_EQ(Form.Thumbnails->DockedTo(), Form.Dock_Right);
    EXPECT_EQ(Form.Dock_Up->geometry(), QRect(0, 0, 452, 192));
}

}  // namespace
}  // namespace zb::test
