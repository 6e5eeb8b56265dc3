// The address list: the line convention of the window's list, the bytes it gives back for the
// lines it was given and for lines the user typed or changed, and following the end of the list.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "WindowFixture.h"
#include "app/TAddressMemo.h"
#include "common/Cp932.h"
#include "common/Exception.h"

namespace zb::test {
namespace {

// "ⅰ" as the NEC-selected IBM extension (EE EF); CP932 encodes the character as FA 40, so only
// kept bytes give EE EF back.
const std::string kNecRoman = "http://h/\xEE\xEF.png";
// A byte that is no CP932 character: shown as U+FFFD, kept as it came.
const std::string kBadByte = "http://h/\xA0x.png";
const std::string kJapanese = "http://h/" + Utf8ToCp932("画像") + ".png";

class AddressMemoTest : public testing::Test {
protected:
    AddressMemoTest() {
        Memo.resize(448, 53);
        Memo.show();
    }
    // Puts the caret at the start of a line (0-based).
    void CaretToLine(int line) {
        QTextCursor c(Memo.document()->findBlockByNumber(line));
        Memo.setTextCursor(c);
        Memo.setFocus();
    }
    TAddressMemo Memo;
};

TEST_F(AddressMemoTest, StartsWithOneEmptyLineAndAppendsAfterTheText) {
    EXPECT_EQ(Memo.Lines(), QStringList{""});
    EXPECT_EQ(Memo.toPlainText(), QString("\n"));
    EXPECT_EQ(Memo.ListBytes(), "\r\n");
    Memo.AppendLine("http://h/a");
    Memo.AppendLine("http://h/b");
    EXPECT_EQ(Memo.Lines(), (QStringList{"", "http://h/a", "http://h/b"}));
    EXPECT_EQ(Memo.ListBytes(), "\r\nhttp://h/a\r\nhttp://h/b\r\n");
    // Duplicates are listed twice.
    Memo.AppendLine("http://h/a");
    EXPECT_EQ(Memo.Lines().size(), 4);
}

TEST_F(AddressMemoTest, KeepsTheBytesOfAppendedLines) {
    Memo.AppendLine(kNecRoman);
    Memo.AppendLine(kBadByte);
    Memo.AppendLine(kJapanese);
    EXPECT_EQ(Memo.Lines(), (QStringList{"", QString::fromUtf8("http://h/ⅰ.png"),
                                         QString::fromUtf8("http://h/\uFFFDx.png"),
                                         QString::fromUtf8("http://h/画像.png")}));
    EXPECT_EQ(Memo.ListBytes(),
              "\r\n" + kNecRoman + "\r\n" + kBadByte + "\r\n" + kJapanese + "\r\n");
}

TEST_F(AddressMemoTest, LinesTheUserTypedOrChangedAreEncodedFromTheirText) {
    Memo.AppendLine(kNecRoman);
    Memo.AppendLine("http://h/b");
    // A new line typed at the start of the list.
    CaretToLine(0);
    TypeText(&Memo, QString::fromUtf8("猫ⅰ"));
    // The address line changed at its end.
    CaretToLine(1);
    QTest::keyClick(&Memo, Qt::Key_End);
    QTest::keyClicks(&Memo, "?");
    EXPECT_EQ(Memo.ListBytes(),
              Utf8ToCp932("猫ⅰ") + "\r\n" + Utf8ToCp932("http://h/ⅰ.png?") + "\r\nhttp://h/b\r\n");
    EXPECT_EQ(Utf8ToCp932("ⅰ"), "\xFA\x40");
}

TEST_F(AddressMemoTest, LinesMovedByEditingKeepTheirBytes) {
    Memo.AppendLine(kNecRoman);
    Memo.AppendLine(kBadByte);
    // Line breaks typed before each address move it to a block of its own.
    CaretToLine(2);
    QTest::keyClick(&Memo, Qt::Key_Return);
    CaretToLine(1);
    QTest::keyClick(&Memo, Qt::Key_Return);
    EXPECT_EQ(Memo.Lines().size(), 5);
    EXPECT_EQ(Memo.ListBytes(), "\r\n\r\n" + kNecRoman + "\r\n\r\n" + kBadByte + "\r\n");
}

TEST_F(AddressMemoTest, TextThatShiftJisCannotHoldIsAnError) {
    Memo.AppendLine(kBadByte);
    CaretToLine(0);
    TypeText(&Memo, QString::fromUtf8("\U0001F431"));
    EXPECT_THROW(Memo.ListBytes(), Exception);
    // An undecodable byte the user edited around cannot be written back either.
    Memo.clear();
    Memo.AppendLine(kBadByte);
    CaretToLine(0);
    QTest::keyClick(&Memo, Qt::Key_End);
    QTest::keyClicks(&Memo, "y");
    EXPECT_THROW(Memo.ListBytes(), Exception);
}

TEST_F(AddressMemoTest, EveryLineEndsWithCrLfWhateverTheUserDidToTheEnd) {
    Memo.AppendLine("http://h/a");
    // The last line break removed: the last line is still written with one.
    QTextCursor c(Memo.document());
    c.movePosition(QTextCursor::End);
    c.deletePreviousChar();
    EXPECT_EQ(Memo.toPlainText(), QString("\nhttp://h/a"));
    EXPECT_EQ(Memo.ListBytes(), "\r\nhttp://h/a\r\n");
    // The next address goes onto a line of its own.
    Memo.AppendLine("http://h/b");
    EXPECT_EQ(Memo.Lines(), (QStringList{"", "http://h/a", "http://h/b"}));
    // An emptied list is written as nothing.
    Memo.clear();
    EXPECT_EQ(Memo.Lines(), QStringList());
    EXPECT_EQ(Memo.ListBytes(), "");
    Memo.AppendLine("http://h/c");
    EXPECT_EQ(Memo.ListBytes(), "http://h/c\r\n");
}

TEST_F(AddressMemoTest, AViewAtTheEndFollowsTheListAndAScrolledOneStays) {
    QScrollBar* bar = Memo.verticalScrollBar();
    for (int i = 0; i < 40; ++i)
        Memo.AppendLine("http://h/" + std::to_string(i));
    ASSERT_GT(bar->maximum(), 30);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(5);
    Memo.AppendLine("http://h/more");
    EXPECT_EQ(bar->value(), 5);
    bar->setValue(bar->maximum());
    Memo.AppendLine("http://h/last");
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(AddressMemoTest, ScrollBarShowsOnlyWhenTheLinesOverflow) {
    Memo.AppendLine("http://h/0");
    Flush();
    EXPECT_FALSE(Memo.verticalScrollBar()->isVisible());
    for (int i = 1; i < 10; ++i)
        Memo.AppendLine("http://h/" + std::to_string(i));
    Flush();
    EXPECT_TRUE(Memo.verticalScrollBar()->isVisible());
}

TEST_F(AddressMemoTest, CopyAddressTakesTheLineUnderTheMouse) {
    Memo.AppendLine("http://h/a");
    Memo.AppendLine("http://h/b");
    const QTextBlock second = Memo.document()->findBlockByNumber(2);
    const QPoint pos = Memo.cursorRect(QTextCursor(second)).center();
    ASSERT_EQ(Memo.LineAt(pos).text(), "http://h/b");
    std::unique_ptr<QMenu> menu(Memo.BuildLineMenu(Memo.LineAt(pos)));
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    ASSERT_EQ(texts.mid(0, 3), (QStringList{"Copy address", "Open address", "Show thumbnail"}));
    QGuiApplication::clipboard()->clear();
    menu->actions()[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "http://h/b");
}

}  // namespace
}  // namespace zb::test
