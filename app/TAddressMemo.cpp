#include "app/TAddressMemo.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include "common/Cp932.h"

namespace zb {

namespace {

// The bytes an appended line came as, and the text it was shown as.
class AppendedLine : public QTextBlockUserData {
public:
    AppendedLine(std::string bytes, QString text)
        : Bytes(std::move(bytes)), Text(std::move(text)) {}
    std::string Bytes;
    QString Text;
};

}  // namespace

TAddressMemo::TAddressMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves the focus on, as in the other boxes.
    setTabChangesFocus(true);
    setPlainText(QStringLiteral("\n"));
    moveCursor(QTextCursor::Start);
}

void TAddressMemo::AppendLine(const std::string& cp932) {
    // A view that shows the end of the list keeps showing it.
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    const QString text = QString::fromStdString(Cp932ToUtf8(cp932));

    QTextCursor c(document());
    c.beginEditBlock();
    c.movePosition(QTextCursor::End);
    if (!c.block().text().isEmpty()) c.insertBlock();
    c.insertText(text);
    c.insertBlock();
    c.block().previous().setUserData(new AppendedLine(cp932, text));
    c.endEditBlock();
    FBytesByText.emplace(text.toStdString(), cp932);

    if (following) bar->setValue(bar->maximum());
}

QStringList TAddressMemo::Lines() const {
    QStringList lines;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) {
        if (!b.next().isValid() && b.text().isEmpty()) break;  // the caret line
        lines << b.text();
    }
    return lines;
}

std::string TAddressMemo::BlockBytes(const QTextBlock& block) const {
    const QString text = block.text();
    const auto* own = dynamic_cast<const AppendedLine*>(block.userData());
    if (own && own->Text == text) return own->Bytes;
    if (const auto it = FBytesByText.find(text.toStdString()); it != FBytesByText.end())
        return it->second;
    return Utf8ToCp932(text.toStdString());
}

std::string TAddressMemo::ListBytes() const {
    std::string bytes;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) {
        if (!b.next().isValid() && b.text().isEmpty()) break;
        bytes += BlockBytes(b);
        bytes += "\r\n";
    }
    return bytes;
}

QTextBlock TAddressMemo::LineAt(QPoint pos) const {
    return cursorForPosition(pos).block();
}

QMenu* TAddressMemo::BuildLineMenu(const QTextBlock& line) {
    QMenu* menu = createStandardContextMenu();
    QAction* first = menu->actions().value(0);
    const QString address = line.text().trimmed();
    std::string bytes;
    try {
        bytes = BlockBytes(line);
    } catch (const std::exception&) {
        // A typed line that Shift_JIS cannot hold has no tile.
    }
    auto* copy = new QAction(QStringLiteral("Copy address"), menu);
    connect(copy, &QAction::triggered, this,
            [address] { QGuiApplication::clipboard()->setText(address); });
    auto* open = new QAction(QStringLiteral("Open address"), menu);
    connect(open, &QAction::triggered, this,
            [address] { QDesktopServices::openUrl(QUrl(address)); });
    auto* show = new QAction(QStringLiteral("Show thumbnail"), menu);
    connect(show, &QAction::triggered, this, [this, bytes] {
        if (OnShowThumbnail) OnShowThumbnail(bytes);
    });
    copy->setEnabled(!address.isEmpty());
    open->setEnabled(!address.isEmpty());
    show->setEnabled(!address.isEmpty() && !bytes.empty() && OnShowThumbnail != nullptr);
    menu->insertActions(first, {copy, open, show});
    menu->insertSeparator(first);
    return menu;
}

void TAddressMemo::contextMenuEvent(QContextMenuEvent* event) {
    const QTextBlock line =
        event->reason() == QContextMenuEvent::Mouse ? LineAt(event->pos()) : textCursor().block();
    QMenu* menu = BuildLineMenu(line);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace zb
