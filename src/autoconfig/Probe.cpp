#include "autoconfig/Probe.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "mail/MailError.h"
#include "mail/QelIMAP.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"
#include "mail/StopPump.h"

namespace autoconfig {

namespace {

// The client's pump turns a raised stop into its abort, on the probe's own thread. Without
// TLS from the start the client speaks the given mode.
void Aim(mail::TQelClient& client, mail::StopPump& pump, const ProbeTarget& target,
         std::chrono::milliseconds timeout, mail::TlsMode withoutTls) {
    pump.Watch(client);
    client.Host = target.Host;
    client.Port = std::to_string(target.Port);
    client.TimeOut = static_cast<std::uint32_t>(timeout.count());
    client.Security = target.Mode == Security::Tls ? mail::TlsMode::Tls : withoutTls;
}

bool AnswersPop3(const ProbeTarget& target, mail::TransportFactory& factory,
                 std::chrono::milliseconds timeout, const std::atomic<bool>& stop) {
    mail::StopPump pump([&stop] { return stop.load(); });
    mail::TQelPOP pop(factory, pump);
    // STLS is only looked for: the probe logs in nowhere, so TLS need not be started.
    Aim(pop, pump, target, timeout, mail::TlsMode::Off);
    pop.Connect();
    bool answered = pop.Connected && !pop.Failed;
    if (answered && target.Mode != Security::Tls)
        answered = pop.HasCapability("STLS");
    pop.Quit();
    return answered && !stop;
}

bool AnswersImap(const ProbeTarget& target, mail::TransportFactory& factory,
                 std::chrono::milliseconds timeout, const std::atomic<bool>& stop) {
    mail::StopPump pump([&stop] { return stop.load(); });
    mail::TQelIMAP imap(factory, pump);
    // As for POP3: STARTTLS is only looked for, not started.
    Aim(imap, pump, target, timeout, mail::TlsMode::Off);
    imap.Connect();
    bool answered = imap.Connected && !imap.Failed;
    // A greeting need not list the capabilities: asked for when it named no STARTTLS.
    if (answered && target.Mode != Security::Tls && !imap.Offers("STARTTLS"))
        answered = imap.AskCapabilities() && imap.Offers("STARTTLS");
    imap.Logout();
    return answered && !stop;
}

bool AnswersSmtp(const ProbeTarget& target, mail::TransportFactory& factory,
                 std::chrono::milliseconds timeout, const std::atomic<bool>& stop) {
    mail::StopPump pump([&stop] { return stop.load(); });
    mail::TQelSMTP smtp(factory, pump);
    Aim(smtp, pump, target, timeout, mail::TlsMode::StartTls);
    smtp.Connect();
    const bool answered = smtp.Connected && !smtp.Failed;
    smtp.Quit();
    return answered && !stop;
}

}  // namespace

bool Answers(Protocol protocol, const ProbeTarget& target, mail::TransportFactory& factory,
             std::chrono::milliseconds timeout, const std::atomic<bool>& stop) {
    try {
        switch (protocol) {
            case Protocol::Pop3:
                return AnswersPop3(target, factory, timeout, stop);
            case Protocol::Imap:
                return AnswersImap(target, factory, timeout, stop);
            case Protocol::Smtp:
                break;
        }
        return AnswersSmtp(target, factory, timeout, stop);
    } catch (const mail::MailError&) {
        // A client used out of order: this server gave no usable answer.
        return false;
    }
}

std::optional<ProbeTarget> FirstAnswering(Protocol protocol,
                                          const std::vector<ProbeTarget>& targets,
                                          mail::TransportFactory& factory, ProbeTimes times,
                                          const std::atomic<bool>& stop) {
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<std::size_t> winner;
    std::size_t ended = 0;
    std::atomic<bool> stopAll{false};
    std::vector<std::thread> probes;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        probes.emplace_back([&, i] {
            const bool answered = Answers(protocol, targets[i], factory, times.Each, stopAll);
            std::lock_guard lock(mutex);
            if (answered && !winner)
                winner = i;
            ++ended;
            changed.notify_all();
        });
        std::unique_lock lock(mutex);
        changed.wait_for(lock, times.Stagger, [&] { return winner.has_value() || stop.load(); });
        if (winner || stop)
            break;
    }
    {
        std::unique_lock lock(mutex);
        // Every started probe ends within its own time-out; a stop is seen within a slice.
        while (!(winner || stop || ended == probes.size()))
            changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    stopAll = true;
    for (std::thread& probe : probes)
        probe.join();
    if (!winner || stop)
        return std::nullopt;
    return targets[*winner];
}

}  // namespace autoconfig
