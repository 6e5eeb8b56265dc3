#pragma once
// The sessions need a QCoreApplication on the test thread; every test that opens one calls
// EnsureApp() first.

#include <QCoreApplication>

namespace zbtest {

inline void EnsureApp() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "net_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

}  // namespace zbtest
