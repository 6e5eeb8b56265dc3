#include "app/ThumbnailModel.h"

#include "app/thumbs/ThumbnailFetcher.h"
#include "common/Cp932.h"

namespace zb {

namespace {

qsizetype PictureCost(const QImage& image) {
    return std::max<qsizetype>(1, image.sizeInBytes());
}

}  // namespace

QImage FitTile(const QImage& picture) {
    if (picture.width() <= kTileSize.width() && picture.height() <= kTileSize.height())
        return picture;
    return picture.scaled(kTileSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

ThumbnailModel::ThumbnailModel(QObject* parent)
    : QAbstractListModel(parent), FPictures(kPictureCacheBytes), FBytes(kBytesCacheBytes) {}

ThumbnailModel::~ThumbnailModel() = default;

int ThumbnailModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FTiles.size());
}

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int row = index.row();
    switch (role) {
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            return AddressText(row);
        case StateRole:
            return static_cast<int>(State(row));
        case ErrorRole:
            return Error(row);
        case PictureRole:
            return Picture(row);
        default:
            return {};
    }
}

void ThumbnailModel::Append(const std::vector<std::string>& addresses) {
    if (addresses.empty()) return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(addresses.size()) - 1);
    for (const std::string& address : addresses)
        FTiles.push_back(Tile{address, TileState::Waiting, {}, {}});
    endInsertRows();
}

QString ThumbnailModel::AddressText(int row) const {
    return QString::fromStdString(Cp932ToUtf8(Address(row)));
}

TileState ThumbnailModel::State(int row) const {
    const TileState state = FTiles[std::size_t(row)].State;
    // A loaded tile whose picture was evicted waits for its next transfer.
    if (state == TileState::Loaded && NeedsFetch(row)) return TileState::Waiting;
    return state;
}

int ThumbnailModel::RowOf(const std::string& address) const {
    for (std::size_t i = 0; i < FTiles.size(); ++i)
        if (FTiles[i].Address == address) return static_cast<int>(i);
    return -1;
}

QImage ThumbnailModel::Picture(int row) const {
    if (FTiles[std::size_t(row)].State != TileState::Loaded) return {};
    if (const QImage* kept = FPictures.object(row)) return *kept;
    const QByteArray* bytes = FBytes.object(row);
    if (!bytes) return {};
    const QImage picture = FitTile(QImage::fromData(*bytes));
    if (!picture.isNull()) FPictures.insert(row, new QImage(picture), PictureCost(picture));
    return picture;
}

QByteArray ThumbnailModel::OriginalBytes(int row) const {
    const QByteArray* bytes = FBytes.object(row);
    return bytes ? *bytes : QByteArray();
}

bool ThumbnailModel::NeedsFetch(int row) const {
    switch (FTiles[std::size_t(row)].State) {
        case TileState::Waiting:
            return true;
        case TileState::Loaded:
            return !FPictures.contains(row) && !FBytes.contains(row);
        default:
            return false;
    }
}

void ThumbnailModel::SetLoading(int row) {
    FTiles[std::size_t(row)].State = TileState::Loading;
    Changed(row);
}

void ThumbnailModel::SetWaiting(int row) {
    Tile& tile = FTiles[std::size_t(row)];
    if (tile.State != TileState::Loading) return;
    tile.State = TileState::Waiting;
    Changed(row);
}

void ThumbnailModel::SetResult(int row, const ThumbnailResult& result) {
    Tile& tile = FTiles[std::size_t(row)];
    tile.Error.clear();
    if (!result.Ok()) {
        tile.State = TileState::Failed;
        tile.Error = QString::fromStdString(result.Error);
    } else {
        const QByteArray bytes(result.Data.data(), static_cast<qsizetype>(result.Data.size()));
        const QImage picture = FitTile(QImage::fromData(bytes));
        if (picture.isNull()) {
            // The bytes looked like a picture but do not decode as one.
            tile.State = TileState::Failed;
            tile.Error = QStringLiteral("not an image");
        } else {
            tile.State = TileState::Loaded;
            tile.Kind = QString::fromStdString(result.Kind);
            FPictures.insert(row, new QImage(picture), PictureCost(picture));
            FBytes.insert(row, new QByteArray(bytes), std::max<qsizetype>(1, bytes.size()));
        }
    }
    Changed(row);
}

void ThumbnailModel::Changed(int row) {
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

}  // namespace zb
