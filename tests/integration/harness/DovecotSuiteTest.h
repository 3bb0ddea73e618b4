#pragma once
// A fixture whose tests share one Dovecot for the suite, with a POP3 client pointed at its
// plain port.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DovecotServer.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "platform/EventPump.h"

namespace harness {

class DovecotSuiteTest : public ::testing::Test {
protected:
    // For the suite's SetUpTestSuite: the server, with TLS when asked, holding the messages.
    static void Serve(bool tls, const std::vector<std::string>& messages) {
        m_server = std::make_unique<DovecotServer>(tls);
        for (const std::string& raw : messages)
            m_server->AddMessage(raw);
    }
    static void TearDownTestSuite() { m_server.reset(); }
    static DovecotServer& Server() { return *m_server; }

    DovecotSuiteTest() {
        Server().PointAt(pop);
        pop.TimeOut = 10000;
    }

    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop{factory, pump};

private:
    inline static std::unique_ptr<DovecotServer> m_server;
};

}  // namespace harness
