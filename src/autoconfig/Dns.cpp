#include "autoconfig/Dns.h"

#include <ares.h>
#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace autoconfig {

namespace {

// A poll slice: how soon a raised stop is seen.
constexpr int kSliceMs = 50;

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { ares_library_init(ARES_LIB_INIT_ALL); });
}

struct ChannelDeleter {
    void operator()(ares_channeldata* channel) const { ares_destroy(channel); }
};
using Channel = std::unique_ptr<ares_channeldata, ChannelDeleter>;

Channel OpenChannel(const std::string& server, std::chrono::milliseconds timeout) {
    InitLibrary();
    ares_options options{};
    options.timeout = static_cast<int>(std::max<std::int64_t>(1, timeout.count() / 2));
    options.tries = 2;
    int mask = ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES;
    // With a server of its own, nothing is taken from /etc/hosts either.
    char dnsOnly[] = "b";
    if (!server.empty()) {
        options.lookups = dnsOnly;
        mask |= ARES_OPT_LOOKUPS;
    }
    ares_channel channel = nullptr;
    if (ares_init_options(&channel, &options, mask) != ARES_SUCCESS)
        return nullptr;
    Channel owned(channel);
    if (!server.empty() && ares_set_servers_ports_csv(channel, server.c_str()) != ARES_SUCCESS)
        return nullptr;
    return owned;
}

// Runs the channel's queries until they end, the time is up or stop is raised.
void Drive(ares_channel channel, std::chrono::milliseconds timeout, const std::atomic<bool>& stop,
           const bool& done) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done) {
        if (stop || std::chrono::steady_clock::now() >= deadline) {
            ares_cancel(channel);
            return;
        }
        ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
        const int bits = ares_getsock(channel, sockets, ARES_GETSOCK_MAXNUM);
        std::vector<pollfd> fds;
        for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
            short events = 0;
            if (ARES_GETSOCK_READABLE(bits, i))
                events |= POLLIN;
            if (ARES_GETSOCK_WRITABLE(bits, i))
                events |= POLLOUT;
            if (events != 0)
                fds.push_back({sockets[i], events, 0});
        }
        if (fds.empty()) {
            // Nothing to wait for, yet not done: let c-ares run its timers.
            ares_process_fd(channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
            poll(nullptr, 0, kSliceMs);
            continue;
        }
        poll(fds.data(), fds.size(), kSliceMs);
        for (const pollfd& fd : fds) {
            const bool readable = (fd.revents & (POLLIN | POLLERR | POLLHUP)) != 0;
            const bool writable = (fd.revents & POLLOUT) != 0;
            ares_process_fd(channel, readable ? fd.fd : ARES_SOCKET_BAD,
                            writable ? fd.fd : ARES_SOCKET_BAD);
        }
        // Time-outs of queries whose sockets stayed quiet.
        ares_process_fd(channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
    }
}

struct Answer {
    bool Done = false;
    int Status = ARES_ENOTFOUND;
    std::vector<unsigned char> Bytes;
};

void OnAnswer(void* arg, int status, int, unsigned char* bytes, int length) {
    auto& answer = *static_cast<Answer*>(arg);
    answer.Done = true;
    answer.Status = status;
    if (status == ARES_SUCCESS && bytes != nullptr && length > 0)
        answer.Bytes.assign(bytes, bytes + length);
}

Answer Query(const std::string& server, std::chrono::milliseconds timeout,
             const std::atomic<bool>& stop, const std::string& name, int type) {
    Answer answer;
    Channel channel = OpenChannel(server, timeout);
    if (!channel)
        return answer;
    ares_query(channel.get(), name.c_str(), ns_c_in, type, &OnAnswer, &answer);
    Drive(channel.get(), timeout, stop, answer.Done);
    return answer;
}

std::string Unrooted(const char* host) {
    std::string name = host == nullptr ? "" : host;
    if (name.size() > 1 && name.back() == '.')
        name.pop_back();
    return name;
}

}  // namespace

std::vector<SrvRecord> OrderSrv(std::vector<SrvRecord> records) {
    std::erase_if(records, [](const SrvRecord& r) { return r.Target.empty() || r.Target == "."; });
    std::stable_sort(records.begin(), records.end(), [](const SrvRecord& a, const SrvRecord& b) {
        return a.Priority != b.Priority ? a.Priority < b.Priority : a.Weight > b.Weight;
    });
    return records;
}

DnsLookup::DnsLookup(std::string server, std::chrono::milliseconds timeout,
                     const std::atomic<bool>& stop)
    : m_server(std::move(server)), m_timeout(timeout), m_stop(stop) {}

std::vector<SrvRecord> DnsLookup::Srv(const std::string& name) const {
    const Answer answer = Query(m_server, m_timeout, m_stop, name, ns_t_srv);
    std::vector<SrvRecord> records;
    ares_srv_reply* replies = nullptr;
    if (answer.Bytes.empty() ||
        ares_parse_srv_reply(answer.Bytes.data(), static_cast<int>(answer.Bytes.size()),
                             &replies) != ARES_SUCCESS)
        return records;
    for (const ares_srv_reply* r = replies; r != nullptr; r = r->next)
        records.push_back({r->priority, r->weight, r->port, Unrooted(r->host)});
    ares_free_data(replies);
    // A lone "." target arrives as an empty name.
    for (SrvRecord& record : records)
        if (record.Target.empty())
            record.Target = ".";
    return records;
}

std::vector<MxRecord> DnsLookup::Mx(const std::string& domain) const {
    const Answer answer = Query(m_server, m_timeout, m_stop, domain, ns_t_mx);
    std::vector<MxRecord> records;
    ares_mx_reply* replies = nullptr;
    if (answer.Bytes.empty() ||
        ares_parse_mx_reply(answer.Bytes.data(), static_cast<int>(answer.Bytes.size()), &replies) !=
            ARES_SUCCESS)
        return records;
    for (const ares_mx_reply* r = replies; r != nullptr; r = r->next)
        records.push_back({r->priority, Unrooted(r->host)});
    ares_free_data(replies);
    std::stable_sort(records.begin(), records.end(), [](const MxRecord& a, const MxRecord& b) {
        return a.Preference < b.Preference;
    });
    return records;
}

mail::LookupResult DnsLookup::Addresses(const std::string& host, std::uint16_t port) const {
    mail::LookupResult result;
    struct HostAnswer {
        bool Done = false;
        std::vector<in_addr> Addresses;
    } answer;
    const auto onHost = [](void* arg, int status, int, hostent* entry) {
        auto& a = *static_cast<HostAnswer*>(arg);
        a.Done = true;
        if (status != ARES_SUCCESS || entry == nullptr || entry->h_addrtype != AF_INET)
            return;
        for (char** p = entry->h_addr_list; *p != nullptr; ++p) {
            in_addr address{};
            std::memcpy(&address, *p, sizeof address);
            a.Addresses.push_back(address);
        }
    };
    if (Channel channel = OpenChannel(m_server, m_timeout)) {
        ares_gethostbyname(channel.get(), host.c_str(), AF_INET, onHost, &answer);
        Drive(channel.get(), m_timeout, m_stop, answer.Done);
    }
    for (const in_addr& address : answer.Addresses) {
        sockaddr_storage storage{};
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr = address;
        result.Addresses.push_back(storage);
        result.Lengths.push_back(sizeof(sockaddr_in));
    }
    if (result.Addresses.empty()) {
        result.Error = EAI_NONAME;
        result.Text = "The host " + host + " was not found.";
    }
    return result;
}

std::future<mail::LookupResult> DnsNameResolver::Lookup(const std::string& hostName,
                                                        std::uint16_t port) {
    return std::async(std::launch::async,
                      [this, hostName, port] { return m_lookup.Addresses(hostName, port); });
}

}  // namespace autoconfig
