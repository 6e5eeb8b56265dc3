#pragma once
// Paints one tile of the Thumbnails window: the picture centred in its 100 x 100 cell, or a
// placeholder that says "loading" or names the failure. A tile painted without its picture at
// hand asks for it through OnWanted, so only tiles that are shown are ever fetched.

#include <QStaticText>
#include <QStyledItemDelegate>
#include <functional>

namespace zb {

class TileDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TileDelegate(QObject* parent = nullptr);

    // The cell of a tile with its margin.
    static QSize CellSize();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // A tile without its picture was painted (row).
    std::function<void(int row)> OnWanted;

private:
    mutable QStaticText FLoading;
};

}  // namespace zb
