// The flat edit box: flat and hot borders, the hot rule with other flat controls, colours and
// height.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "QtPrinters.h"
#include "TestForm.h"
#include "dock/widgets/Flat97Controls.h"

namespace zb {
namespace {

using test::Flush;
using test::PixelAt;

const QColor kFace(192, 192, 192), kShadow(128, 128, 128), kHighlight(255, 255, 255),
    kWindow(240, 240, 255), kDarkShadow(0, 0, 0), kLight(224, 224, 224);

class Edit97Test : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setGeometry(60, 60, 400, 120);
        First = new TEdit97(&Form);
        First->setGeometry(10, 10, 120, 19);
        Second = new TEdit97(&Form);
        Second->setGeometry(10, 40, 120, 19);
        Button = new QPushButton("Plain", &Form);
        Button->setGeometry(200, 10, 80, 24);
        Button->show();
        Form.show();
        QApplication::setActiveWindow(&Form);
        Button->setFocus();
        Flush();
    }

    QWidget Form;
    TEdit97* First;
    TEdit97* Second;
    QPushButton* Button;
};

TEST_F(Edit97Test, IdleBoxShowsTwoFaceRingsAndOneWindowRing) {
    EXPECT_EQ(First->height(), 19);
    EXPECT_FALSE(First->IsHot());
    for (int ring = 0; ring < 3; ++ring) {
        const QColor expected = ring < 2 ? kFace : kWindow;
        EXPECT_EQ(PixelAt(First, ring, 9), expected) << ring;
        EXPECT_EQ(PixelAt(First, 60, ring), expected) << ring;
        EXPECT_EQ(PixelAt(First, 119 - ring, 9), expected) << ring;
        EXPECT_EQ(PixelAt(First, 60, 18 - ring), expected) << ring;
    }
    EXPECT_TRUE(ControlIs97Control(First));
    EXPECT_FALSE(ControlIs97Control(Button));
}

TEST_F(Edit97Test, FocusedBoxIsSunken) {
    First->setFocus();
    Flush();
    ASSERT_TRUE(First->hasFocus());
    EXPECT_TRUE(First->IsHot());
    // Outer ring: shadow top and left, highlight bottom and right.
    EXPECT_EQ(PixelAt(First, 0, 9), kShadow);
    EXPECT_EQ(PixelAt(First, 60, 0), kShadow);
    EXPECT_EQ(PixelAt(First, 119, 9), kHighlight);
    EXPECT_EQ(PixelAt(First, 60, 18), kHighlight);
    // Second ring: face on top and left, 3-D light on right and bottom.
    EXPECT_EQ(PixelAt(First, 1, 9), kFace);
    EXPECT_EQ(PixelAt(First, 60, 1), kFace);
    EXPECT_EQ(PixelAt(First, 118, 9), kLight);
    EXPECT_EQ(PixelAt(First, 60, 17), kLight);
    // Third ring: window colour.
    EXPECT_EQ(PixelAt(First, 2, 9), kWindow);
    EXPECT_EQ(PixelAt(First, 117, 9), kWindow);
    First->clearFocus();
    Flush();
    EXPECT_EQ(PixelAt(First, 0, 9), kFace);
}

TEST_F(Edit97Test, MouseOverMakesItHotUnlessAnotherFlatControlHasTheFocus) {
    Button->setFocus();
    QTest::mouseMove(Second, {20, 9});
    Flush();
    ASSERT_TRUE(Second->MouseIn());
    EXPECT_TRUE(Second->IsHot());
    EXPECT_EQ(PixelAt(Second, 0, 9), kShadow);
    QTest::mouseMove(&Form, {300, 100});
    Flush();
    EXPECT_FALSE(Second->MouseIn());
    EXPECT_EQ(PixelAt(Second, 0, 9), kFace);

    First->setFocus();
    QTest::mouseMove(Second, {20, 9});
    Flush();
    EXPECT_TRUE(Second->MouseIn());
    EXPECT_FALSE(Second->IsHot());
    EXPECT_EQ(PixelAt(Second, 0, 9), kFace);
}

TEST_F(Edit97Test, DisabledBoxTakesTheButtonFace) {
    First->setEnabled(false);
    Flush();
    EXPECT_EQ(PixelAt(First, 60, 9), kFace);
    EXPECT_EQ(PixelAt(First, 2, 9), kFace);  // the innermost ring takes the box's colour
    First->setEnabled(true);
    Flush();
    EXPECT_EQ(PixelAt(First, 60, 9), kWindow);
}

TEST_F(Edit97Test, LoadedSizesTheBoxToItsFont) {
    QFont font = First->font();
    font.setPixelSize(10);
    First->setFont(font);
    First->Loaded();
    EXPECT_EQ(First->height(), QFontMetrics(font).height() + 6);
}

TEST_F(Edit97Test, WorksAsAnOrdinaryLineEdit) {
    int changes = 0;
    QObject::connect(First, &QLineEdit::textChanged, [&] { ++changes; });
    QTest::keyClicks(First, "proxy.example");
    EXPECT_EQ(First->text(), QString("proxy.example"));
    EXPECT_EQ(changes, 13);
    // Text stays inside the three-pixel border.
    EXPECT_EQ(First->contentsRect(), First->rect().adjusted(3, 3, -3, -3));
}

}  // namespace
}  // namespace zb
