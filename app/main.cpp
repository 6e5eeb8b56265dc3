// zunbarra: the desktop window of the image searcher. See WindowOptions.cpp for the command line.

#include <QApplication>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/ErrorReport.h"
#include "app/TZorvexImageForm.h"
#include "app/WindowOptions.h"
#include "common/CommandLine.h"

namespace {

// Whether an argument may be one of Qt's own options (-platform, -style, ...), which only
// QApplication can tell and take away.
bool MayBeQtOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && arg[1] != '-';
}

}  // namespace

int main(int argc, char** argv) {
    // --help, --version and, without Qt's options, a bad command line are answered before Qt
    // looks for a display, so they work on any terminal.
    const std::vector<std::string> given(argv + 1, argv + argc);
    const zb::StandardRequest request = zb::FindStandardRequest(given);
    if (request != zb::StandardRequest::None)
        return zb::AnswerRequest(zb::kWindowUsage, request, std::cout);
    if (std::none_of(given.begin(), given.end(), MayBeQtOption)) {
        try {
            zb::ParseWindowOptions(given);
        } catch (const zb::EUsageError& e) {
            return zb::ReportUsageError(zb::kWindowUsage, e.Message, std::cerr);
        }
    }
    QApplication app(argc, argv);
    // The name under which the program is shown in task bars (the window class on X11) and on
    // message boxes. Not the display name, which Qt would append to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(zb::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromUtf8(zb::ProgramVersion()));
    // Ties the window to its installed desktop entry (data/), for task bars and docks.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zunbarra.ImageSearcher"));

    zb::WindowOptions options;
    try {
        std::vector<std::string> args;
        const QStringList left = QApplication::arguments();
        for (qsizetype i = 1; i < left.size(); ++i)
            args.push_back(left[i].toStdString());
        options = zb::ParseWindowOptions(args);
    } catch (const zb::EUsageError& e) {
        return zb::ReportUsageError(zb::kWindowUsage, e.Message, std::cerr);
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
