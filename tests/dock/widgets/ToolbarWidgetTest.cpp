// Toolbars and docks as widgets: control order, separators and wrapped lines, vertical docks,
// slave controls, placement errors, insert/remove events and docks inside Qt layouts.

#include <gtest/gtest.h>

#include <QTest>
#include <QVBoxLayout>

#include "QtPrinters.h"
#include "TestForm.h"
#include "dock/core/EInvalidOperation.h"
#include "dock/widgets/TDragOutline97.h"
#include "dock/widgets/TFloatingWindow97.h"
#include "dock/widgets/TToolbarSep97.h"

namespace zb {
namespace {

using test::Flush;
using test::TestForm;

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInvalidOperation& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ToolbarWidgetTest, OrderIndexMovesControlsAndRejectsStrangers) {
    TestForm f;
    TToolbar97* t = f.Toolbar_Menu;
    EXPECT_EQ(t->GetOrderIndex(f.ToolbarButtonSearchGet), 0);
    EXPECT_EQ(t->GetOrderIndex(f.ToolbarButton_SaveURLs), 1);
    t->SetOrderIndex(f.ToolbarButton_SaveURLs, -3);
    EXPECT_EQ(t->GetOrderIndex(f.ToolbarButton_SaveURLs), 0);
    EXPECT_EQ(f.ToolbarButton_SaveURLs->x(), 0);
    EXPECT_EQ(f.ToolbarButtonSearchGet->x(), 96);
    t->SetOrderIndex(f.ToolbarButton_SaveURLs, 99);
    EXPECT_EQ(t->GetOrderIndex(f.ToolbarButton_SaveURLs), 1);
    EXPECT_EQ(f.ToolbarButton_SaveURLs->x(), 108);
    EXPECT_EQ(MessageOf([&] { t->GetOrderIndex(f.Edit_AndKeyWord); }),
              "Control 'Edit_AndKeyWord' is not a child of the toolbar");
    EXPECT_EQ(MessageOf([&] { t->SetOrderIndex(f.Edit_AndKeyWord, 0); }),
              "Control 'Edit_AndKeyWord' is not a child of the toolbar");
    // Sorting by position restores the order of a toolbar built from stored positions.
    t->SetOrderIndex(f.ToolbarButton_SaveURLs, 0);
    f.ToolbarButtonSearchGet->move(0, 0);
    f.ToolbarButton_SaveURLs->move(200, 0);
    t->SortOrderByPosition();
    EXPECT_EQ(t->OrderList(),
              (QList<QWidget*>{f.ToolbarButtonSearchGet, f.ToolbarButton_SaveURLs}));
    EXPECT_EQ(f.ToolbarButton_SaveURLs->x(), 108);
}

TEST(ToolbarWidgetTest, ControlsAddedOrRemovedResizeTheToolbar) {
    TestForm f;
    TToolbar97* t = f.Toolbar_Menu;
    auto* sep = new TToolbarSep97(t);
    auto* third = new TToolbarButton97(t);
    third->setObjectName("Third");
    Flush();
    EXPECT_EQ(sep->geometry(), QRect(204, 0, 6, 24));
    EXPECT_EQ(third->geometry(), QRect(210, 0, 23, 22).translated(0, 1));
    EXPECT_EQ(t->width(), 204 + 6 + 23 + 13);
    sep->SetSizeHorz(10);
    Flush();
    EXPECT_EQ(third->x(), 214);
    third->hide();
    Flush();
    EXPECT_EQ(t->width(), 204 + 10 + 13);
    delete third;
    delete sep;
    Flush();
    EXPECT_EQ(t->width(), 217);
    EXPECT_EQ(t->OrderList().size(), 2);
}

TEST(ToolbarWidgetTest, SeparatorsOnlyOnToolbars) {
    TestForm f;
    EXPECT_EQ(MessageOf([&] { new TToolbarSep97(f.ToolWindow972); }),
              "TToolbarSep97 can only be placed on a TToolbar97");
    EXPECT_EQ(MessageOf([&] { new TToolbarSep97(&f.Form); }),
              "TToolbarSep97 can only be placed on a TToolbar97");
    EXPECT_EQ(MessageOf([&] { new TToolbarSep97(f.Toolbar_Menu->ClientArea()); }), "(no error)");
}

TEST(ToolbarWidgetTest, DocksAndBarsRefuseWrongParents) {
    TestForm f;
    EXPECT_EQ(MessageOf([&] { new TDock97(f.ToolWindow972->ClientArea()); }),
              "A TDock97 control cannot be placed inside a tool window or another TDock97");
    EXPECT_EQ(MessageOf([&] { new TDock97(f.Dock_Up); }),
              "A TDock97 control cannot be placed inside a tool window or another TDock97");
    EXPECT_EQ(MessageOf([&] { new TToolWindow97(f.ToolWindow972->ClientArea()); }),
              "A tool window can only be placed on a TDock97 or directly on the form");
    EXPECT_EQ(MessageOf([&] { f.Dock_Up->SetPosition(dpBottom); }),
              "Cannot change Position of a TDock97 if it already contains controls");
    EXPECT_EQ(f.Dock_Up->Position(), dpTop);
    TDock97 empty(&f.Form);
    empty.SetPosition(dpLeft);
    EXPECT_EQ(empty.Position(), dpLeft);
}

TEST(ToolbarWidgetTest, WrappedLinesDrawTheSeparatorsLine) {
    TestForm f;
    TToolbar97* t = f.Toolbar_Menu;
    auto* sep = new TToolbarSep97(t);
    sep->SetSizeHorz(8);
    t->SetOrderIndex(sep, 1);  // between the two buttons
    QTest::mouseDClick(t, Qt::LeftButton, {}, {5, 10});
    Flush();
    ASSERT_TRUE(t->Floating());
    t->SetFloatingWidth(150);
    Flush();
    // The second button wraps below the first with a 6-pixel gap; the separator shrinks to 0.
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(4, 2 + 24 + 6));
    EXPECT_EQ(sep->width(), 0);
    ASSERT_EQ(t->LineSeparators().size(), 1u);
    EXPECT_EQ(t->LineSeparators()[0].Across, 32);
    EXPECT_EQ(test::PixelAt(t->ClientArea(), 50, 28), QColor(128, 128, 128));
    EXPECT_EQ(test::PixelAt(t->ClientArea(), 50, 29), QColor(255, 255, 255));
    sep->SetBlank(true);
    t->ArrangeControlsNow();
    EXPECT_EQ(test::PixelAt(t->ClientArea(), 50, 28), QColor(192, 192, 192));
}

TEST(ToolbarWidgetTest, LeftDockLaysTheToolbarOutVertically) {
    TestForm f;
    auto* left = new TDock97(&f.Form, dpLeft);
    Flush();
    TToolbar97* t = f.Toolbar_Menu;
    t->SetDockedTo(left);
    Flush();
    EXPECT_EQ(t->ClientArea()->geometry(), QRect(2, 11, 108, 48));
    EXPECT_EQ(f.ToolbarButtonSearchGet->geometry(), QRect(0, 0, 108, 24));
    EXPECT_EQ(f.ToolbarButton_SaveURLs->geometry(), QRect(6, 24, 96, 24));
    EXPECT_EQ(t->size(), QSize(112, 61));
    EXPECT_EQ(left->geometry(), QRect(0, 192, 112, 76));
    // The grips run across the top.
    EXPECT_EQ(test::PixelAt(t, 20, 4), QColor(255, 255, 255));
    EXPECT_EQ(test::PixelAt(t, 20, 6), QColor(128, 128, 128));
}

TEST(ToolbarWidgetTest, SlaveControlsFollowTheOrientation) {
    TestForm f;
    TToolbar97* t = f.Toolbar_Menu;
    auto* wide = new TToolbarButton97(t);
    wide->resize(80, 22);
    auto* tall = new TToolbarButton97(t);
    tall->resize(22, 80);
    t->SetSlaveControl(wide, tall);
    Flush();
    EXPECT_TRUE(wide->isVisible());
    EXPECT_FALSE(tall->isVisible());
    EXPECT_EQ(t->ClientArea()->width(), 204 + 80);
    auto* left = new TDock97(&f.Form, dpLeft);
    t->SetDockedTo(left);
    Flush();
    EXPECT_FALSE(wide->isVisible());
    EXPECT_TRUE(tall->isVisible());
    EXPECT_EQ(t->ClientArea()->height(), 48 + 80);
}

TEST(ToolbarWidgetTest, InsertRemoveEventsAndGapsClosedWhenABarGoes) {
    TestForm f;
    std::vector<std::pair<bool, TCustomToolWindow97*>> events;
    f.Dock_Up->OnInsertRemoveBar = [&](TDock97*, bool inserting, TCustomToolWindow97* bar) {
        events.emplace_back(inserting, bar);
    };
    f.ToolWindow972->hide();
    f.ToolWindow972->show();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], std::make_pair(false, static_cast<TCustomToolWindow97*>(f.ToolWindow972)));
    EXPECT_TRUE(events[1].first);
    delete f.ToolWindow972;
    Flush();
    EXPECT_EQ(f.Dock_Up->height(), 160);
    EXPECT_EQ(f.ToolWindow971->y(), 28);
    EXPECT_EQ(f.Dock_Up->Bars().size(), 4);
}

TEST(ToolbarWidgetTest, EmptyToolbarStillMakesARowTwelveThick) {
    TestForm f;
    auto* empty = new TToolbar97(f.Dock_Up);
    empty->SetDockRow(4);
    Flush();
    EXPECT_EQ(empty->GetBarSize(dtTopBottom), 8);
    EXPECT_EQ(empty->size(), QSize(8 + 13, 12));
    EXPECT_EQ(f.Dock_Up->height(), 192 + 12);
}

TEST(ToolbarWidgetTest, DockInALayoutTakesAFixedThickness) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* dock = new TDock97(&form, dpTop);
    layout->addWidget(dock);
    auto* rest = new QWidget(&form);
    layout->addWidget(rest);
    form.resize(300, 200);
    auto* bar = new TToolWindow97(dock);
    bar->SetClientSize(100, 30);
    form.show();
    Flush();
    EXPECT_EQ(dock->height(), 34);
    EXPECT_EQ(rest->y(), 34);
    dock->SetFixAlign(true);
    bar->hide();
    Flush();
    EXPECT_EQ(dock->height(), 1);
}

TEST(ToolbarWidgetTest, ResizingTheFormPullsBarsInAndLetsThemBack) {
    TestForm f;
    f.Form.resize(300, 268);
    Flush();
    EXPECT_EQ(f.Dock_Up->width(), 300);
    EXPECT_EQ(f.ToolWindow974->x(), 217);  // pulled in as far as the toolbar allows
    EXPECT_EQ(f.ToolWindow974->DockPos(), 358);
    f.Form.resize(452, 268);
    Flush();
    EXPECT_EQ(f.ToolWindow974->x(), 358);
}

}  // namespace
}  // namespace zb

namespace zb {
namespace {

TEST(ToolbarWidgetTest, BoundLinesAddToTheDockAndMoveItsClientArea) {
    test::TestForm f;
    f.Dock_Up->SetBoundLines(BoundLineBit(blTop) | BoundLineBit(blBottom));
    test::Flush();
    EXPECT_EQ(f.Dock_Up->height(), 194);
    EXPECT_EQ(f.Dock_Up->ClientRect(), QRect(0, 1, 452, 192));
    EXPECT_EQ(f.Toolbar_Menu->geometry(), QRect(0, 1, 217, 28));
    EXPECT_EQ(test::PixelAt(f.Dock_Up, 300, 0), QColor(128, 128, 128));
    EXPECT_EQ(test::PixelAt(f.Dock_Up, 300, 193), QColor(255, 255, 255));
}

TEST(ToolbarWidgetTest, OutlineIsAMaskedRingOfTheGivenThickness) {
    TDragOutline97 outline;
    outline.ShowFrame(QRect(100, 100, 50, 40), 3);
    EXPECT_TRUE(outline.isVisible());
    EXPECT_EQ(outline.geometry(), QRect(100, 100, 50, 40));
    const QRegion mask = outline.mask();
    EXPECT_TRUE(mask.contains(QPoint(2, 20)));
    EXPECT_FALSE(mask.contains(QPoint(3, 20)));
    EXPECT_TRUE(mask.contains(QPoint(47, 20)));
    EXPECT_FALSE(mask.contains(QPoint(25, 20)));
    outline.ShowFrame(QRect(), 1);
    EXPECT_FALSE(outline.isVisible());
}

}  // namespace
}  // namespace zb
