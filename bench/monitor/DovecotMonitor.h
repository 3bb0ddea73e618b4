// The monitor tests' fakes and folder around a TVorla that checks one account of the harness
// Dovecot through a real POP3 client; the benches of the monitor share it.
#pragma once

#include <string>
#include <vector>

#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"

namespace monitor::test {

class DovecotMonitor : public MonitorTest {
public:
    DovecotMonitor(harness::DovecotServer& server, int timeOutMs,
                   const std::vector<std::string>& settings = {})
        : m_pop(m_transports, pump), m_client(m_pop) {
        m_pop.TimeOut = timeOutMs;
        WriteSettings({}, settings);
        WriteFile("Accounts.ini", server.DoveAccount());
        MakeVorla(m_client);
    }
    // The TVorla goes before the client it checks through.
    ~DovecotMonitor() override {
        vorla.reset();
        jobs.reset();
    }
    void TestBody() override {}

    using MonitorTest::commun;
    using MonitorTest::jobs;
    using MonitorTest::vorla;

private:
    mail::PosixTransportFactory m_transports;
    mail::TQelPOP m_pop;
    app::QelPopClient m_client;
};

}  // namespace monitor::test
