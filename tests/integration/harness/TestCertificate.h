#pragma once
// A self-signed certificate for 127.0.0.1 and localhost, made with the openssl command in a
// folder of the caller's, and its SHA-256 fingerprint as "openssl x509 -fingerprint" prints it.
#include <string>

namespace harness {

struct TestCertificate {
    std::string certFile;
    std::string keyFile;
    std::string fingerprint;  // 32 colon-separated pairs of upper-case hex digits
};

// Throws std::runtime_error when openssl fails.
TestCertificate MakeTestCertificate(const std::string& folder);

}  // namespace harness
