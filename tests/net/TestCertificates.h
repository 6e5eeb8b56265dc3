#pragma once
// Certificates for the TLS tests, made with the openssl command in a temporary folder (removed
// with the object): a test CA and, for "localhost", a good certificate, one for another name, an
// expired one and one from a second CA that nobody trusts.

#include <string>

namespace zbtest {

class TestCertificates {
public:
    struct Pair {
        std::string CertFile;
        std::string KeyFile;
    };

    TestCertificates();
    ~TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    bool Ready() const { return FProblem.empty(); }
    const std::string& Problem() const { return FProblem; }
    // The test CA's certificate, to be trusted by the client.
    std::string CaFile() const { return FDir + "/ca.crt"; }
    Pair Good() const { return PairOf("good"); }
    Pair OtherName() const { return PairOf("other"); }
    Pair Expired() const { return PairOf("expired"); }
    Pair UnknownCa() const { return PairOf("unknown"); }

private:
    Pair PairOf(const std::string& name) const {
        return {FDir + "/" + name + ".crt", FDir + "/" + name + ".key"};
    }
    bool Run(const std::string& command);

    std::string FDir;
    std::string FProblem;
};

}  // namespace zbtest
