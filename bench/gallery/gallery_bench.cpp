// The main window with its Thumbnails window, measured against zunbarra-service (run.sh starts
// it and prints medians and ratios):
//   gallery_bench harvest SERVICE on|off     one search for "image"; prints its wall time and the
//                                            process's CPU time in ms
//   gallery_bench tiles SERVICE COUNT        COUNT addresses appended while the window is shown,
//                                            made from the thumbnail paths on standard input;
//                                            prints resident memory and the longest gap of a
//                                            10 ms timer while the tiles arrive; then scrolls
//                                            through the grid and prints memory again
//   gallery_bench shot SERVICE FILE          a search with the Thumbnails window shown, grabbed
//                                            into a PNG once its tiles in view are loaded

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/TZorvexImageForm.h"
#include "app/ThumbnailModel.h"

namespace {

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    return -1;
}

// Whether every tile in view has settled (loaded or failed).
bool ViewSettled(const zb::ThumbnailsWindow& window) {
    const QListView* view = window.View();
    const zb::ThumbnailModel* model = window.Model();
    const QRect shown = view->viewport()->rect();
    const QModelIndex first = view->indexAt(QPoint(1, 1));
    if (!first.isValid()) return false;
    int checked = 0;
    for (int row = first.row(); row < model->rowCount(); ++row, ++checked) {
        if (!shown.intersects(view->visualRect(model->index(row)))) break;
        const zb::TileState state = model->State(row);
        if (state != zb::TileState::Loaded && state != zb::TileState::Failed) return false;
    }
    return checked > 0;
}

// Waits until the tiles in view have settled; they are first given a moment to be painted and
// asked for.
void WaitSettled(const zb::ThumbnailsWindow& window, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    bool first = true;
    while ((first || !ViewSettled(window)) && clock.elapsed() < limitMs) {
        first = false;
        // Sleeps until events come, 5 ms at most.
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

struct Bench {
    QTemporaryDir Folder;
    zb::TZorvexImageForm Form;

    explicit Bench(const std::string& service) {
        Form.Session->ServiceHost = service;
        Form.Session->PageFile = Folder.filePath("tmp.htm").toStdString();
        Form.ErrorReport = [](const QString& message) {
            std::cerr << "gallery_bench: " << message.toStdString() << "\n";
        };
        Form.show();
        QCoreApplication::processEvents();
    }

    void Search() {
        Form.Edit_AndKeyWord->setText("image");
        Form.CheckBox_AdultFilter->setChecked(false);
        Form.ToolbarButtonSearchGetClick();
    }
};

int Harvest(const std::string& service, bool thumbnails) {
    Bench bench(service);
    // Both runs use the window at the size that showing the Thumbnails window gives it, so they
    // differ only in the Thumbnails window.
    bench.Form.ShowThumbnails(true);
    bench.Form.ShowThumbnails(thumbnails);
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuStart = std::clock();
    bench.Search();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    std::printf("%.3f %.3f\n", ms, cpuMs);
    return bench.Form.SessionAddresses() > 0 ? 0 : 1;
}

int Tiles(const std::string& service, int count) {
    Bench bench(service);
    bench.Form.ShowThumbnails(true);
    QCoreApplication::processEvents();
    // A 10 ms timer whose longest gap tells how long the event loop was held up.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.elapsed());
        sinceTick.restart();
    });
    sinceTick.start();
    ticker.start();
    // The corpus has fewer pictures than tiles: the addresses repeat the pictures with a query
    // part of their own, so every tile is its own transfer. 20 a step, as a result page gives.
    std::vector<std::string> paths;
    for (std::string line; std::getline(std::cin, line);)
        if (!line.empty()) paths.push_back(line);
    if (paths.empty()) {
        std::cerr << "gallery_bench: no thumbnail paths on standard input\n";
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        const std::string& path = paths[std::size_t(i) % paths.size()];
        bench.Form.AppendAddress("http://" + service + path + "&n=" + std::to_string(i));
        if (i % 20 == 19) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    bench.Form.Thumbnails->FlushAddresses();
    WaitSettled(*bench.Form.Thumbnails, 30000);
    const qint64 ms = clock.elapsed();
    ticker.stop();
    std::printf("tiles=%d ms=%lld rss_kb=%ld hwm_kb=%ld longest_gap_ms=%lld\n", count,
                static_cast<long long>(ms), StatusKb("VmRSS"), StatusKb("VmHWM"),
                static_cast<long long>(longestGap));
    int fetched = 0;
    auto finished = bench.Form.Thumbnails->Fetcher()->OnFinished;
    bench.Form.Thumbnails->Fetcher()->OnFinished = [&](const zb::ThumbnailResult& result) {
        ++fetched;
        finished(result);
    };
    // Then through the whole grid in 400 steps, each waiting for the tiles in view: far more
    // pictures are fetched than the caches hold.
    QScrollBar* bar = bench.Form.Thumbnails->View()->verticalScrollBar();
    for (int step = 1; step <= 400; ++step) {
        bar->setValue(static_cast<int>(static_cast<qint64>(bar->maximum()) * step / 400));
        QCoreApplication::processEvents();
        WaitSettled(*bench.Form.Thumbnails, 5000);
    }
    std::printf("scrolled_fetched=%d scrolled_rss_kb=%ld scrolled_hwm_kb=%ld\n", fetched,
                StatusKb("VmRSS"), StatusKb("VmHWM"));
    return 0;
}

int Shot(const std::string& service, const QString& file) {
    Bench bench(service);
    bench.Form.ShowThumbnails(true);
    bench.Search();
    bench.Form.Thumbnails->FlushAddresses();
    WaitSettled(*bench.Form.Thumbnails, 30000);
    QCoreApplication::processEvents();
    return bench.Form.grab().save(file, "PNG") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string usage =
        "usage: gallery_bench harvest SERVICE on|off | tiles SERVICE COUNT | shot SERVICE FILE\n";
    if (argc != 4) {
        std::cerr << usage;
        return 2;
    }
    const std::string mode = argv[1];
    const std::string service = argv[2];
    const std::string arg = argv[3];
    if (mode == "harvest") return Harvest(service, arg == "on");
    if (mode == "tiles") return Tiles(service, std::stoi(arg));
    if (mode == "shot") return Shot(service, QString::fromStdString(arg));
    std::cerr << usage;
    return 2;
}
