#pragma once
// The tiles of the Thumbnails window: one per address appended to the list, in list order, each
// waiting for its picture, loading it, showing it or naming why it failed.
//
// Memory stays flat however long the list grows: a tile itself keeps only its address and state;
// pictures live in two bounded caches. Decoded tiles (scaled to fit 100 x 100, at most 40 KB
// each) share kPictureCacheBytes (64 MB, some 1,600 tiles); the original bytes, which "Save
// image as..." writes and from which an evicted tile is decoded again without a transfer, share
// kBytesCacheBytes (16 MB). A loaded tile that lost both is fetched again when it is next shown.

#include <QAbstractListModel>
#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

namespace zb {

struct ThumbnailResult;

inline constexpr QSize kTileSize(100, 100);
inline constexpr qsizetype kPictureCacheBytes = qsizetype(64) << 20;
inline constexpr qsizetype kBytesCacheBytes = qsizetype(16) << 20;

enum class TileState {
    Waiting,  // no picture yet (or evicted): fetched when shown
    Loading,  // its transfer runs
    Loaded,   // picture at hand (or in the caches)
    Failed,   // the error names why
};

class ThumbnailModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        StateRole = Qt::UserRole + 1,  // TileState as int
        ErrorRole,                     // QString
        PictureRole,                   // QImage, null when none is at hand
    };

    explicit ThumbnailModel(QObject* parent = nullptr);
    ~ThumbnailModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Adds a tile for each address (CP932 bytes, as the list got them), in one insertion.
    void Append(const std::vector<std::string>& addresses);

    const std::string& Address(int row) const { return FTiles[std::size_t(row)].Address; }
    QString AddressText(int row) const;
    TileState State(int row) const;
    QString Error(int row) const { return FTiles[std::size_t(row)].Error; }
    // The picture's type ("png", "jpg", ...) once loaded.
    QString Kind(int row) const { return FTiles[std::size_t(row)].Kind; }
    // The first tile of an address, -1 when there is none.
    int RowOf(const std::string& address) const;

    // The scaled picture, decoded again from kept bytes when it was evicted; null when it must
    // be fetched.
    QImage Picture(int row) const;
    // The bytes as received, empty when they are no longer kept.
    QByteArray OriginalBytes(int row) const;
    // Whether the tile needs a transfer to show its picture.
    bool NeedsFetch(int row) const;

    // Bookkeeping of transfers.
    void SetLoading(int row);
    void SetWaiting(int row);
    void SetResult(int row, const ThumbnailResult& result);

private:
    struct Tile {
        std::string Address;
        TileState State = TileState::Waiting;
        QString Error;
        QString Kind;
    };
    void Changed(int row);

    std::vector<Tile> FTiles;
    // Keyed by row; costs in bytes.
    mutable QCache<int, QImage> FPictures;
    QCache<int, QByteArray> FBytes;
};

// The picture scaled to fit a tile, keeping its aspect ratio (never enlarged).
QImage FitTile(const QImage& picture);

}  // namespace zb
