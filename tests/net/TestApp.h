#pragma once
// The sessions need a QCoreApplication on the test thread; every test that opens one calls
// EnsureApp() first. Also temporary file names and a replaceable name service for the tests.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <string>
#include <utility>

#include "net/THostLookup.h"

namespace zbtest {

inline void EnsureApp() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "net_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A temporary file name of its own for this test process (tests run in parallel).
inline std::string TempFile(const std::string& name) {
    return testing::TempDir() + "zb-net-" + std::to_string(::getpid()) + "-" + name;
}

// Replaces the name service for one test.
class ResolverOverride {
public:
    explicit ResolverOverride(zb::THostLookup::TResolver resolver)
        : FSaved(zb::THostLookup::Resolver()) {
        zb::THostLookup::Resolver() = std::move(resolver);
    }
    ~ResolverOverride() { zb::THostLookup::Resolver() = FSaved; }
    ResolverOverride(const ResolverOverride&) = delete;
    ResolverOverride& operator=(const ResolverOverride&) = delete;

private:
    zb::THostLookup::TResolver FSaved;
};

}  // namespace zbtest
