#pragma once
// The Thumbnails tool window: one tile per address found, in list order, in a virtualised grid
// (a list view over ThumbnailModel, so 20,000 tiles cost no more widgets than a screenful).
//
// Pictures are fetched only while the window is shown, and only for tiles that are painted: a
// painted tile without its picture joins a wanted list, and the most recently wanted tiles that
// are still in view a moment later are handed to the fetcher, never more than its Jobs at once.
// Hiding the window aborts the transfers. While the view shows the end of the grid it follows the
// tiles being added.
//
// A tile's tooltip is its address; a double click opens the address; its context menu copies the
// address or saves the picture's original bytes.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/thumbs/ThumbnailFetcher.h"
#include "dock/widgets/TToolWindow97.h"

class QListView;
class QMenu;

namespace zb {

class ThumbnailModel;
class TileDelegate;

class ThumbnailsWindow : public TToolWindow97 {
    Q_OBJECT
public:
    // On a dock (docked there) or on the form (floating).
    explicit ThumbnailsWindow(QWidget* parent);
    ~ThumbnailsWindow() override;

    ThumbnailModel* Model() const { return FModel; }
    QListView* View() const { return FView; }
    ThumbnailFetcher* Fetcher() const { return FFetcher; }

    // Adds the tile of an address appended to the list (CP932 bytes). The tiles of addresses
    // added in a burst join the grid together, at most 100 ms later.
    void AddAddress(const std::string& address);
    // Puts the tiles of the addresses added so far into the grid now.
    void FlushAddresses();
    // Scrolls to the first tile of the address and selects it; false when it has none.
    bool ShowTile(const std::string& address);

    // The tile's context menu (row), as a right click opens it.
    QMenu* BuildTileMenu(int row, QWidget* parent);
    void CopyAddress(int row);
    void OpenAddress(int row);
    // Asks for a file name and writes the tile's original bytes there (atomically). When the
    // bytes are no longer kept, fetches them again first.
    void SaveImageAs(int row);

    // Asks for the file to save a picture to (the suggestion carries the picture's extension);
    // nullopt when the user cancels. The default opens a file dialog.
    std::function<std::optional<QString>(QWidget* parent, const QString& suggested)> ChooseFile;
    // Reports a failure to the user (the form's error report).
    std::function<void(const QString& message)> ErrorReport;
    // Fills in the transfer settings (proxy, time-outs) before transfers start.
    std::function<void(ThumbnailSettings& settings)> ApplySettings;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void Want(int row);
    void Pump();
    void Finished(const ThumbnailResult& result);
    void StopFetching();
    bool RowShown(int row) const;
    void WriteImage(int row, const QString& fileName);

    ThumbnailModel* FModel;
    TileDelegate* FDelegate;
    QListView* FView;
    ThumbnailFetcher* FFetcher;
    // Painted tiles without a picture since a time of FClock, most recent last.
    struct Wanted {
        int Row;
        qint64 Since;
    };
    std::vector<Wanted> FWanted;
    QElapsedTimer FClock;
    // Rows waiting for each running transfer.
    std::unordered_map<std::string, std::vector<int>> FRunning;
    // Files to write once a tile's bytes arrive again.
    std::unordered_map<int, QString> FPendingSaves;
    std::vector<bool> FIsWanted;
    std::vector<std::string> FNewAddresses;
    QTimer FAddTimer;
    QTimer FPumpTimer;
    // Whether the view shows the end of the grid (and so follows it), and whether the view is
    // being moved there.
    bool FFollowing = true;
    bool FFollowingMove = false;
};

}  // namespace zb
