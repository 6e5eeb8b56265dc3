#include "app/TAddressMemo.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

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
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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

std::string TAddressMemo::ListBytes() const {
    std::string bytes;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        if (!b.next().isValid() && text.isEmpty()) break;
        const auto* own = dynamic_cast<const AppendedLine*>(b.userData());
        if (own && own->Text == text) {
            bytes += own->Bytes;
        } else if (const auto it = FBytesByText.find(text.toStdString());
                   it != FBytesByText.end()) {
            bytes += it->second;
        } else {
            bytes += Utf8ToCp932(text.toStdString());
        }
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace zb
