#pragma once
// The address list: an editable, wrapping text box that shows CP932 lines decoded and gives
// them back as the bytes they came as. Lines the program appended keep their original bytes as
// long as the user leaves their text as it is; every other line is encoded from its text.
//
// The list follows the memo convention of the window: the text holds lines, each ended by a line
// break, so the box starts with one empty line and the caret line after it; an appended line is
// put after the text already there and ended by a line break. While the view shows the end of
// the list, it follows the lines being appended. A vertical scroll bar shows when the lines
// overflow the box.
//
// Its context menu puts "Copy address", "Open address" and "Show thumbnail" for the line under
// the mouse (or the caret's line, from the keyboard) before the usual editing entries.

#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>
#include <functional>
#include <string>
#include <unordered_map>

class QMenu;

namespace zb {

class TAddressMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TAddressMemo(QWidget* parent = nullptr);

    // Appends one line (CP932 bytes) after the text already there.
    void AppendLine(const std::string& cp932);
    // The lines as shown (the empty caret line after the last line break is not a line).
    QStringList Lines() const;
    // The whole list as CP932 bytes, every line followed by CR LF. Raises zb::Exception when a
    // line the user typed holds a character that CP932 cannot represent.
    std::string ListBytes() const;

    // The line under a point of the viewport.
    QTextBlock LineAt(QPoint pos) const;
    // The context menu for a line (the caller owns it).
    QMenu* BuildLineMenu(const QTextBlock& line);

    // "Show thumbnail" for a line (its CP932 bytes); the entry is disabled without a handler.
    std::function<void(const std::string& cp932)> OnShowThumbnail;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A line's bytes: kept for appended lines, else encoded from its text.
    std::string BlockBytes(const QTextBlock& block) const;

    // Bytes of appended lines by their shown text, for lines that lost their own record (moved
    // or split away by editing) but still read the same.
    std::unordered_map<std::string, std::string> FBytesByText;
};

}  // namespace zb
