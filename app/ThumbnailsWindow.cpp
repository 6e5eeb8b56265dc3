#include "app/ThumbnailsWindow.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ListFile.h"
#include "app/ThumbnailModel.h"
#include "app/TileDelegate.h"
#include "common/Exception.h"

namespace zb {

namespace {

// Two columns of tiles and a scroll bar; a screenful of rows.
constexpr QSize kClientSize(236, 300);
// How long new addresses gather before their tiles join the grid: one insertion, layout and
// repaint of the grid for many addresses while a search runs.
constexpr int kAddDelayMs = 100;
// How long a tile must have been in view before its picture is fetched: tiles that only pass
// by while the grid follows a fast search cost no transfer.
constexpr qint64 kSettleMs = 100;

// A file name for a picture: the address's last path segment and query, reduced to characters
// every file system takes, with the picture's type as extension.
QString SuggestedName(const QString& address, const QString& kind) {
    const QUrl url(address);
    QString base = url.fileName();
    if (url.hasQuery()) base += QLatin1Char('_') + url.query();
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]+")), QStringLiteral("_"));
    base = base.left(80);
    if (base.isEmpty()) base = QStringLiteral("thumbnail");
    return base + QLatin1Char('.') + (kind.isEmpty() ? QStringLiteral("img") : kind);
}

std::optional<QString> DefaultChooseFile(QWidget* parent, const QString& suggested) {
    const QString name =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Save image as"), suggested);
    if (name.isEmpty()) return std::nullopt;
    return name;
}

}  // namespace

ThumbnailsWindow::ThumbnailsWindow(QWidget* parent)
    : TToolWindow97(parent), ChooseFile(DefaultChooseFile) {
    setObjectName("ThumbnailsWindow");
    SetCaption(QStringLiteral("Thumbnails"));
    SetCloseButtonWhenDocked(true);
    SetClientSize(kClientSize.width(), kClientSize.height());

    FModel = new ThumbnailModel(this);
    FDelegate = new TileDelegate(this);
    FDelegate->OnWanted = [this](int row) { Want(row); };
    FView = new QListView(ClientArea());
    FView->setObjectName("ThumbnailView");
    FView->setAccessibleName(QStringLiteral("Thumbnails"));
    FView->setViewMode(QListView::ListMode);
    FView->setFlow(QListView::LeftToRight);
    FView->setWrapping(true);
    FView->setResizeMode(QListView::Adjust);
    FView->setMovement(QListView::Static);
    FView->setUniformItemSizes(true);
    FView->setGridSize(TileDelegate::CellSize());
    FView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    FView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FView->setSelectionMode(QAbstractItemView::SingleSelection);
    FView->setItemDelegate(FDelegate);
    FView->setModel(FModel);
    FView->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(ClientArea());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FView);

    connect(FView, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { OpenAddress(index.row()); });
    connect(FView, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        const QModelIndex index = FView->indexAt(pos);
        if (!index.isValid()) return;
        QMenu* menu = BuildTileMenu(index.row(), this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(FView->viewport()->mapToGlobal(pos));
    });

    FFetcher = new ThumbnailFetcher(this);
    FFetcher->OnFinished = [this](const ThumbnailResult& result) { Finished(result); };
    FAddTimer.setSingleShot(true);
    FAddTimer.setInterval(kAddDelayMs);
    connect(&FAddTimer, &QTimer::timeout, this, [this] { FlushAddresses(); });
    FPumpTimer.setSingleShot(true);
    FPumpTimer.setInterval(static_cast<int>(kSettleMs));
    FClock.start();
    connect(&FPumpTimer, &QTimer::timeout, this, [this] { Pump(); });
    // The grid grows when the view lays out the new tiles; a view at the end stays there.
    QScrollBar* bar = FView->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (!FFollowing) return;
        FFollowingMove = true;
        bar->setValue(maximum);
        FFollowingMove = false;
    });
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
        if (!FFollowingMove) FFollowing = value >= bar->maximum();
    });
}

ThumbnailsWindow::~ThumbnailsWindow() {
    FFetcher->OnFinished = nullptr;
    FFetcher->Clear();
}

void ThumbnailsWindow::AddAddress(const std::string& address) {
    FNewAddresses.push_back(address);
    if (!FAddTimer.isActive()) FAddTimer.start();
}

void ThumbnailsWindow::FlushAddresses() {
    FAddTimer.stop();
    FIsWanted.resize(FIsWanted.size() + FNewAddresses.size(), false);
    FModel->Append(FNewAddresses);
    FNewAddresses.clear();
}

bool ThumbnailsWindow::ShowTile(const std::string& address) {
    FlushAddresses();
    const int row = FModel->RowOf(address);
    if (row < 0) return false;
    const QModelIndex index = FModel->index(row);
    FView->setCurrentIndex(index);
    FView->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

QMenu* ThumbnailsWindow::BuildTileMenu(int row, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(QStringLiteral("Copy address"), this, [this, row] { CopyAddress(row); });
    QAction* save = menu->addAction(QStringLiteral("Save image as..."), this,
                                    [this, row] { SaveImageAs(row); });
    save->setEnabled(FModel->State(row) == TileState::Loaded ||
                     FModel->State(row) == TileState::Waiting);
    return menu;
}

void ThumbnailsWindow::CopyAddress(int row) {
    QGuiApplication::clipboard()->setText(FModel->AddressText(row));
}

void ThumbnailsWindow::OpenAddress(int row) {
    QDesktopServices::openUrl(QUrl(FModel->AddressText(row)));
}

void ThumbnailsWindow::SaveImageAs(int row) {
    const std::optional<QString> file =
        ChooseFile(this, SuggestedName(FModel->AddressText(row), FModel->Kind(row)));
    if (!file) return;
    if (!FModel->OriginalBytes(row).isEmpty()) {
        WriteImage(row, *file);
        return;
    }
    // The bytes were dropped to keep memory flat: fetch them again, then write.
    FPendingSaves[row] = *file;
    Want(row);
}

void ThumbnailsWindow::WriteImage(int row, const QString& fileName) {
    const QByteArray bytes = FModel->OriginalBytes(row);
    try {
        WriteListFile(fileName, std::string(bytes.constData(), std::size_t(bytes.size())));
    } catch (const Exception& e) {
        if (ErrorReport) ErrorReport(QString::fromUtf8(e.what()));
    }
}

void ThumbnailsWindow::Want(int row) {
    if (FIsWanted[std::size_t(row)]) return;
    FIsWanted[std::size_t(row)] = true;
    // A picture to save is wanted at once.
    const qint64 since = FPendingSaves.count(row) ? FClock.elapsed() - kSettleMs : FClock.elapsed();
    FWanted.push_back({row, since});
    if (!FPumpTimer.isActive()) FPumpTimer.start();
}

bool ThumbnailsWindow::RowShown(int row) const {
    return FView->viewport()->rect().intersects(FView->visualRect(FModel->index(row)));
}

void ThumbnailsWindow::Pump() {
    if (!BarVisible() || !isVisible()) return;
    // Tiles scrolled away since they were painted are dropped; they ask again when shown.
    std::erase_if(FWanted, [this](const Wanted& wanted) {
        const int row = wanted.Row;
        const bool keep =
            FPendingSaves.count(row) > 0 || (FModel->NeedsFetch(row) && RowShown(row));
        if (!keep) FIsWanted[std::size_t(row)] = false;
        return !keep;
    });
    if (FWanted.empty()) return;
    ThumbnailSettings settings = FFetcher->Settings();
    if (ApplySettings) ApplySettings(settings);
    FFetcher->SetSettings(settings);
    // The most recently wanted tiles that have settled first.
    const qint64 settled = FClock.elapsed() - kSettleMs;
    for (auto it = FWanted.end();
         it != FWanted.begin() && FFetcher->Outstanding() < settings.Jobs;) {
        --it;
        if (it->Since > settled) continue;
        const int row = it->Row;
        it = FWanted.erase(it);
        FIsWanted[std::size_t(row)] = false;
        FModel->SetLoading(row);
        std::vector<int>& rows = FRunning[FModel->Address(row)];
        rows.push_back(row);
        if (rows.size() == 1) FFetcher->Enqueue(FModel->Address(row));
    }
    // Tiles still settling, or waiting for a free transfer, get another look.
    if (!FWanted.empty() && !FPumpTimer.isActive()) FPumpTimer.start();
}

void ThumbnailsWindow::Finished(const ThumbnailResult& result) {
    const auto it = FRunning.find(result.Address);
    if (it != FRunning.end()) {
        const std::vector<int> rows = std::move(it->second);
        FRunning.erase(it);
        for (int row : rows) {
            FModel->SetResult(row, result);
            if (const auto save = FPendingSaves.find(row); save != FPendingSaves.end()) {
                const QString file = save->second;
                FPendingSaves.erase(save);
                if (result.Ok())
                    WriteImage(row, file);
                else if (ErrorReport)
                    ErrorReport(QStringLiteral("%1: not saved: %2")
                                    .arg(file, QString::fromStdString(result.Error)));
            }
        }
    }
    Pump();
}

void ThumbnailsWindow::StopFetching() {
    FFetcher->Clear();
    for (const auto& [address, rows] : FRunning)
        for (int row : rows)
            FModel->SetWaiting(row);
    FRunning.clear();
    for (const Wanted& wanted : FWanted)
        FIsWanted[std::size_t(wanted.Row)] = false;
    FWanted.clear();
    for (const auto& [row, file] : FPendingSaves)
        if (ErrorReport)
            ErrorReport(
                QStringLiteral("%1: not saved: the Thumbnails window was closed first").arg(file));
    FPendingSaves.clear();
}

void ThumbnailsWindow::hideEvent(QHideEvent* event) {
    TToolWindow97::hideEvent(event);
    // No transfer runs while the window is hidden.
    StopFetching();
}

}  // namespace zb
