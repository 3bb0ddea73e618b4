#include "TestCertificate.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace harness {

TestCertificate MakeTestCertificate(const std::string& folder) {
    TestCertificate made{folder + "/cert.pem", folder + "/key.pem", ""};
    const std::string fingerprintFile = folder + "/fingerprint.txt";
    const std::string command =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=localhost -addext subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout '" +
        made.keyFile + "' -out '" + made.certFile + "' 2>/dev/null && openssl x509 -noout " +
        "-fingerprint -sha256 -in '" + made.certFile + "' > '" + fingerprintFile + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("openssl could not make a test certificate in " + folder);
    std::ifstream in(fingerprintFile);
    std::string line;
    std::getline(in, line);
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        throw std::runtime_error("openssl printed no fingerprint: " + line);
    made.fingerprint = line.substr(equals + 1);
    return made;
}

}  // namespace harness
