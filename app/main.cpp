// zunbarra: the desktop window of the image searcher. See WindowOptions.cpp for the command line.

#include <QApplication>
#include <QStringList>
#include <cstring>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ErrorReport.h"
#include "app/TZorvexImageForm.h"
#include "app/WindowOptions.h"

namespace {

constexpr int kExitUsage = 2;

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt looks for a display.
    if (AsksForHelp(argc, argv)) {
        std::cout << zb::kWindowUsage;
        return 0;
    }
    QApplication app(argc, argv);
    // The name under which the program is shown in task bars (the window class on X11) and on
    // message boxes. Not the display name, which Qt would append to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(zb::kApplicationTitle));

    zb::WindowOptions options;
    try {
        std::vector<std::string> args;
        const QStringList given = QApplication::arguments();
        for (qsizetype i = 1; i < given.size(); ++i)
            args.push_back(given[i].toStdString());
        options = zb::ParseWindowOptions(args);
    } catch (const std::invalid_argument& e) {
        std::cerr << "zunbarra: " << e.what() << "\n" << zb::kWindowUsage;
        return kExitUsage;
    }

    try {
        zb::TZorvexImageForm form;
        if (!options.Service.empty()) form.Session->ServiceHost = options.Service;
        // Closing the main window ends the program, also while bars float in windows of their
        // own.
        form.OnClosed = [] { QCoreApplication::quit(); };
        form.show();
        QApplication::exec();
    } catch (const std::exception& e) {
        zb::ShowErrorReport(nullptr, QString::fromUtf8(e.what()));
    }
    return 0;
}
