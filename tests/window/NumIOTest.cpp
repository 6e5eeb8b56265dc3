// The numeric field as the user types into it: accepted texts raise the change notification,
// refused ones snap back with the caret one place to the left.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/TNumIO.h"

namespace zb::test {
namespace {

class NumIOTest : public testing::Test {
protected:
    NumIOTest() {
        Field.OnChange = [this] { ++Changes; };
        Field.show();
        Field.setFocus();
    }
    TNumIO Field;
    int Changes = 0;
};

TEST_F(NumIOTest, ALetterAfterTheHexPrefixIsRefusedAndTheCaretMovesBack) {
    QTest::keyClicks(&Field, "$g");
    EXPECT_EQ(Field.text(), QString("$"));
    EXPECT_EQ(Field.cursorPosition(), 1);
    EXPECT_EQ(Field.Refusals(), 1);
    EXPECT_EQ(Changes, 1);
    QTest::keyClicks(&Field, "1F9");
    EXPECT_EQ(Field.text(), QString("$1F9"));
    EXPECT_DOUBLE_EQ(Field.Value(), 0x1F9);
    EXPECT_EQ(Changes, 4);

    // Typed in the middle: the caret stood after the new letter and goes one place left of it.
    Field.setCursorPosition(2);
    QTest::keyClick(&Field, Qt::Key_Z);
    EXPECT_EQ(Field.text(), QString("$1F9"));
    EXPECT_EQ(Field.cursorPosition(), 2);
    QTest::keyClick(&Field, Qt::Key_0);
    EXPECT_EQ(Field.text(), QString("$10F9"));
    EXPECT_DOUBLE_EQ(Field.Value(), 0x10F9);
}

TEST_F(NumIOTest, PortNumbersAndExponentsWhileTyping) {
    QTest::keyClicks(&Field, "8080");
    EXPECT_EQ(Field.text(), QString("8080"));
    EXPECT_DOUBLE_EQ(Field.Value(), 8080);
    EXPECT_EQ(Changes, 4);
    EXPECT_EQ(Field.Refusals(), 0);

    Field.clear();
    QTest::keyClicks(&Field, "1e");
    EXPECT_EQ(Field.text(), QString("1e"));
    EXPECT_DOUBLE_EQ(Field.Value(), 1);
    QTest::keyClicks(&Field, "-3");
    EXPECT_DOUBLE_EQ(Field.Value(), 0.001);
    EXPECT_EQ(Field.Refusals(), 0);
}

TEST_F(NumIOTest, BlanksInsideAreRefused) {
    QTest::keyClicks(&Field, "80 80");
    EXPECT_EQ(Field.text(), QString("8080"));
    EXPECT_EQ(Field.Refusals(), 1);
    // Blanks in front are dropped when reading: accepted, the value unchanged.
    Field.setCursorPosition(0);
    QTest::keyClick(&Field, Qt::Key_Space);
    EXPECT_EQ(Field.text(), QString(" 8080"));
    EXPECT_DOUBLE_EQ(Field.Value(), 8080);
}

TEST_F(NumIOTest, EditsThatBreakTheNumberAreUndoneToo) {
    QTest::keyClicks(&Field, "1e5");
    // Deleting the mantissa leaves "e5".
    Field.setCursorPosition(0);
    QTest::keyClick(&Field, Qt::Key_Delete);
    EXPECT_EQ(Field.text(), QString("1e5"));
    EXPECT_EQ(Field.cursorPosition(), 0);
    // Text set by the program obeys the same rules, without a change notification.
    const int before = Changes;
    Field.setText("port");
    EXPECT_EQ(Field.text(), QString("1e5"));
    EXPECT_EQ(Changes, before);
    // Deleting everything is fine: an empty field reads as 0.
    Field.selectAll();
    QTest::keyClick(&Field, Qt::Key_Backspace);
    EXPECT_EQ(Field.text(), QString());
    EXPECT_DOUBLE_EQ(Field.Value(), 0);
    EXPECT_EQ(Field.LastAccepted(), QString());
}

}  // namespace
}  // namespace zb::test
