#include "TestCertificates.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zbtest {

namespace {

constexpr const char* kKey = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
constexpr const char* kCaExtensions =
    "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign";

}  // namespace

TestCertificates::TestCertificates() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/zb-certs-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        FProblem = "cannot create a temporary folder";
        return;
    }
    ::chmod(pattern.c_str(), 0755);  // readable for nginx
    FDir = pattern;
    std::ofstream(FDir + "/localhost.ext") << "subjectAltName=DNS:localhost,IP:127.0.0.1\n";
    std::ofstream(FDir + "/other.ext") << "subjectAltName=DNS:other.example\n";
    // A CA database for `openssl ca`, the one command of 3.0 that sets a past validity.
    std::ofstream(FDir + "/index.txt");
    std::ofstream(FDir + "/serial") << "1000\n";
    std::ofstream(FDir + "/ca.cnf") << "[ca]\ndefault_ca=test\n[test]\ndatabase=" << FDir
                                    << "/index.txt\nnew_certs_dir=" << FDir << "\nserial=" << FDir
                                    << "/serial\ndefault_md=sha256\npolicy=any\n"
                                    << "unique_subject=no\n[any]\ncommonName=supplied\n";
    const std::string d = FDir + "/";
    auto makeCa = [&](const std::string& name, const std::string& subject) {
        return Run(std::string("openssl req -x509 ") + kKey + " -keyout " + d + name +
                   ".key -out " + d + name + ".crt -days 30 -subj '/CN=" + subject + "' " +
                   kCaExtensions);
    };
    auto makeRequest = [&](const std::string& name) {
        return Run(std::string("openssl req -new ") + kKey + " -keyout " + d + name + ".key -out " +
                   d + name + ".csr -subj /CN=localhost");
    };
    auto sign = [&](const std::string& name, const std::string& ca, const std::string& ext) {
        return Run("openssl x509 -req -in " + d + name + ".csr -CA " + d + ca + ".crt -CAkey " + d +
                   ca + ".key -CAcreateserial -days 30 -out " + d + name + ".crt -extfile " + d +
                   ext + ".ext");
    };
    const bool ok =
        makeCa("ca", "Zunbarra Test CA") && makeCa("ca2", "Zunbarra Unknown CA") &&
        makeRequest("good") && sign("good", "ca", "localhost") && makeRequest("other") &&
        sign("other", "ca", "other") && makeRequest("unknown") &&
        sign("unknown", "ca2", "localhost") && makeRequest("expired") &&
        Run("openssl ca -batch -notext -config " + d + "ca.cnf -cert " + d + "ca.crt -keyfile " +
            d + "ca.key -in " + d + "expired.csr -out " + d +
            "expired.crt -startdate 20200101000000Z -enddate 20200201000000Z -extfile " + d +
            "localhost.ext");
    if (ok) {
        for (const auto& entry : std::filesystem::directory_iterator(FDir))
            ::chmod(entry.path().c_str(), 0644);
    }
}

TestCertificates::~TestCertificates() {
    if (!FDir.empty()) std::filesystem::remove_all(FDir);
}

bool TestCertificates::Run(const std::string& command) {
    const std::string quiet = command + " >" + FDir + "/openssl.log 2>&1";
    if (std::system(quiet.c_str()) == 0) return true;
    FProblem = "failed: " + command;
    return false;
}

}  // namespace zbtest
