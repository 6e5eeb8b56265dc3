#include "app/TileDelegate.h"

#include <QApplication>
#include <QPainter>

#include "app/ThumbnailModel.h"

namespace zb {

namespace {

constexpr int kMargin = 4;

}  // namespace

TileDelegate::TileDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QSize TileDelegate::CellSize() {
    return kTileSize + QSize(2 * kMargin, 2 * kMargin);
}

QSize TileDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return CellSize();
}

void TileDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QRect cell(option.rect.topLeft() + QPoint(kMargin, kMargin), kTileSize);
    const QPalette& pal = option.palette;
    if (option.state.testFlag(QStyle::State_Selected))
        painter->fillRect(option.rect, pal.color(QPalette::Highlight));

    const QImage picture = index.data(ThumbnailModel::PictureRole).value<QImage>();
    if (!picture.isNull()) {
        QRect target(QPoint(0, 0), picture.size());
        target.moveCenter(cell.center());
        painter->drawImage(target, picture);
        return;
    }
    const auto state = static_cast<TileState>(index.data(ThumbnailModel::StateRole).toInt());
    QString text;
    if (state == TileState::Failed) {
        text = index.data(ThumbnailModel::ErrorRole).toString();
    } else {
        text = QStringLiteral("loading");
        if (state == TileState::Waiting && OnWanted) OnWanted(index.row());
    }
    painter->save();
    painter->fillRect(cell, pal.color(QPalette::Button));
    painter->setPen(pal.color(QPalette::Dark));
    painter->drawRect(cell.adjusted(0, 0, -1, -1));
    painter->setPen(
        pal.color(state == TileState::Failed ? QPalette::WindowText : QPalette::PlaceholderText));
    painter->drawText(cell.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, text);
    painter->restore();
}

}  // namespace zb
