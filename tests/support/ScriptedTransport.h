#pragma once
// A scripted peer for the mail clients: a transcript of what the server says (one step is one
// read), what the client must send byte for byte, a pause, a close and a silence. A mismatch is a
// test failure naming the expected and the actual bytes; the peer then closes, so nothing hangs.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

#include "FakeClock.h"
#include "mail/QelTransport.h"

namespace testsupport {

class Script {
public:
    enum class Kind { Server, Client, Close, Silent, Pause, Reset };
    struct Step {
        Kind kind;
        std::string bytes;
    };

    Script& Server(std::string bytes) { return Add(Kind::Server, std::move(bytes)); }
    Script& Client(std::string bytes) { return Add(Kind::Client, std::move(bytes)); }
    Script& Close() { return Add(Kind::Close, ""); }
    Script& Silent() { return Add(Kind::Silent, ""); }
    // One read that gets nothing while the clock moves on by ms.
    Script& Pause(int ms) { return Add(Kind::Pause, std::to_string(ms)); }
    // The peer has reset the connection: the client's next send fails with ECONNRESET. What the
    // server said before it (the steps after this one) can still be read.
    Script& Reset() { return Add(Kind::Reset, ""); }

    // Checks that every step was played and everything sent was expected.
    void ExpectDone() {
        MatchClientSteps();
        // A close or a silence stays in force once reached.
        if (steps.size() == 1 &&
            (steps.front().kind == Kind::Close || steps.front().kind == Kind::Silent))
            steps.clear();
        EXPECT_TRUE(steps.empty()) << "script not played to the end; next step: " << Describe();
        EXPECT_EQ(pendingSent, "") << "client sent bytes the script did not expect";
    }

    std::deque<Step> steps;
    std::string pendingSent;  // sent by the client, not yet matched
    std::string allSent;
    std::string connectedHost, connectedAddress;
    int connectedPort = -1;
    int connects = 0;
    int refuseConnect = 0;  // platform code of a refused connect; 0 accepts
    bool connectHangs = false;
    bool closedByClient = false;
    // TLS put over the scripted connection: the script goes on in clear text after it.
    int tlsStarts = 0;
    std::string tlsServerName;
    FakeClock* clock = nullptr;  // advanced by silent slices

    // Matches the client's sends against the Client steps at the front; false on a mismatch.
    bool MatchClientSteps() {
        while (!steps.empty() && steps.front().kind == Kind::Client) {
            const std::string& want = steps.front().bytes;
            if (pendingSent.compare(0, want.size(), want) != 0)
                return Fail(want);
            pendingSent.erase(0, want.size());
            steps.pop_front();
        }
        return true;
    }

private:
    Script& Add(Kind kind, std::string bytes) {
        steps.push_back({kind, std::move(bytes)});
        return *this;
    }
    bool Fail(const std::string& want) {
        ADD_FAILURE() << "client must send [" << Printable(want) << "] but sent ["
                      << Printable(pendingSent) << "]";
        steps.clear();
        pendingSent.clear();
        return false;
    }
    std::string Describe() const {
        if (steps.empty())
            return "none";
        static const char* names[] = {"server", "client", "close", "silent", "pause", "reset"};
        return std::string(names[static_cast<int>(steps.front().kind)]) + " [" +
               Printable(steps.front().bytes) + "]";
    }

public:
    static std::string Printable(const std::string& s) {
        std::string out;
        for (char c : s) {
            if (c == '\r')
                out += "\\r";
            else if (c == '\n')
                out += "\\n";
            else
                out += c;
        }
        return out;
    }
};

class ScriptedTransport final : public mail::Transport {
public:
    explicit ScriptedTransport(Script& script) : m_script(script) {}

    void Resolve(const std::string& hostName, const std::string& address,
                 std::uint16_t port) override {
        m_script.connectedHost = hostName;
        m_script.connectedAddress = address;
        m_script.connectedPort = port;
    }
    void BeginConnect() override {
        ++m_script.connects;
        if (m_script.refuseConnect)
            throw mail::TransportError(m_script.refuseConnect, "connect",
                                       std::strerror(m_script.refuseConnect));
    }
    bool FinishConnect(int sliceMs) override {
        if (m_script.connectHangs) {
            if (m_script.clock)
                m_script.clock->now += sliceMs;
            return false;
        }
        return true;
    }
    long Send(std::string_view bytes, int) override {
        // Client steps before the reset are matched by the read that came before it.
        if (!m_script.steps.empty() && m_script.steps.front().kind == Script::Kind::Reset) {
            m_script.steps.pop_front();
            throw mail::TransportError(ECONNRESET, "send", std::strerror(ECONNRESET));
        }
        m_script.pendingSent.append(bytes);
        m_script.allSent.append(bytes);
        return static_cast<long>(bytes.size());
    }
    long Receive(char* buffer, std::size_t capacity, int sliceMs) override {
        if (!m_script.MatchClientSteps())
            return 0;
        if (m_script.steps.empty()) {
            ADD_FAILURE() << "client reads past the end of the script";
            return 0;
        }
        Script::Step& step = m_script.steps.front();
        switch (step.kind) {
            case Script::Kind::Close:
                return 0;  // stays closed: every later read is empty too
            case Script::Kind::Silent:
                if (m_script.clock)
                    m_script.clock->now += sliceMs;
                return kNotYet;
            case Script::Kind::Pause:
                if (m_script.clock)
                    m_script.clock->now += std::stoi(step.bytes);
                m_script.steps.pop_front();
                return kNotYet;
            case Script::Kind::Server: {
                const std::size_t n = std::min(capacity, step.bytes.size());
                std::memcpy(buffer, step.bytes.data(), n);
                step.bytes.erase(0, n);
                if (step.bytes.empty())
                    m_script.steps.pop_front();
                return static_cast<long>(n);
            }
            case Script::Kind::Client:
            case Script::Kind::Reset:
                break;
        }
        return 0;
    }
    void Close() override { m_script.closedByClient = true; }

private:
    Script& m_script;
};

class ScriptedFactory final : public mail::TransportFactory {
public:
    explicit ScriptedFactory(Script& script) : m_script(script) {}
    std::unique_ptr<mail::Transport> Create() override {
        return std::make_unique<ScriptedTransport>(m_script);
    }
    std::unique_ptr<mail::Transport> WrapTls(std::unique_ptr<mail::Transport> plain,
                                             const std::string& serverName,
                                             const std::string&) override {
        ++m_script.tlsStarts;
        m_script.tlsServerName = serverName;
        return plain;
    }

private:
    Script& m_script;
};

}  // namespace testsupport
