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

// The profile the command line names (the built-in one without --profile), with --service
// replacing its host; warnings and a refusal go to standard error. False when it is refused.
bool ChooseProfile(const zb::WindowOptions& options, zb::SearchProfile& profile) {
    if (options.Profile.empty()) {
        profile = zb::BuiltInProfile();
        return true;
    }
    try {
        std::vector<std::string> warnings;
        profile = zb::LoadSearchProfile(options.Profile, warnings);
        for (const std::string& w : warnings)
            std::cerr << "zunbarra: warning: " << w << "\n";
    } catch (const zb::EProfileError& e) {
        std::cerr << "zunbarra: " << e.what() << "\n";
        return false;
    }
    if (!options.Service.empty()) {
        profile.Base = profile.Base.substr(0, profile.Base.find("://") + 3) + options.Service;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // --help, --version and, without Qt's options, a bad command line are answered before Qt
    // looks for a display, so they work on any terminal.
    const std::vector<std::string> given(argv + 1, argv + argc);
    const zb::StandardRequest request = zb::FindStandardRequest(given);
    if (request != zb::StandardRequest::None)
        return zb::AnswerRequest(zb::kWindowUsage, request, std::cout);
    zb::SearchProfile profile;
    bool profileChosen = false;
    if (std::none_of(given.begin(), given.end(), MayBeQtOption)) {
        try {
            if (!ChooseProfile(zb::ParseWindowOptions(given), profile)) return zb::kExitUsage;
            profileChosen = true;
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
    if (!profileChosen && !ChooseProfile(options, profile)) return zb::kExitUsage;
    try {
        zb::TZorvexImageForm form;
        if (!options.Service.empty()) form.Session->ServiceHost = options.Service;
        form.UseProfile(profile);
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
