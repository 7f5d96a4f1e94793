#include "platform/linux/snmp/NetSnmpTransport.h"

// clang-format off
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
// clang-format on
#include <sys/select.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace quorvel::snmp {
namespace {

// The longest wait for anything, should the library name no timeout.
constexpr long kLongestWaitUs = 1'000'000;
// What a request waits for an answer when snmp.conf sets no timeout, and how often it is sent.
constexpr long kDefaultTimeoutUs = 1'000'000;
constexpr int kDefaultRetries = 1;
// A table larger than this many rounds of requests is cut short.
constexpr int kMaxRounds = 64;

// The library is set up once per process, and sessions are opened and closed one at a
// time: all of that touches its global state (configuration, SNMPv3 users).
std::mutex& libraryMutex() {
    static std::mutex mutex;
    return mutex;
}

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Problems go to the caller as results, never to the terminal. Objects are named
        // by number, so no MIB file is read (Debian ships none for the standard tables).
        netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_EMERG);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_ERRORS, 0);
        netsnmp_ds_set_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_MIB_WARNINGS, 0);
        netsnmp_set_mib_directory("/nonexistent");
        init_snmp("quorvel");
    });
}

void addNull(netsnmp_pdu* pdu, const Oid& name, std::size_t length) {
    std::vector<oid> wide(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length));
    snmp_add_null_var(pdu, wide.data(), wide.size());
}

bool under(const oid* name, std::size_t length, const Oid& prefix) {
    return length > prefix.size() && std::equal(prefix.begin(), prefix.end(), name);
}

SnmpValue valueOf(const netsnmp_variable_list& v) {
    SnmpValue value;
    switch (v.type) {
    case ASN_INTEGER: value.number = static_cast<std::uint64_t>(std::max<long>(*v.val.integer, 0)); break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS: value.number = static_cast<std::uint32_t>(*v.val.integer); break;
    case ASN_COUNTER64:
        value.wide = true;
        value.number = (static_cast<std::uint64_t>(v.val.counter64->high) << 32) | v.val.counter64->low;
        break;
    case ASN_OCTET_STR: value.text.assign(reinterpret_cast<const char*>(v.val.string), v.val_len); break;
    default: return value;  // noSuchObject, noSuchInstance, endOfMibView, or a type nothing here reads
    }
    value.present = true;
    return value;
}

class NetSnmpTransport final : public SnmpTransport {
public:
    explicit NetSnmpTransport(std::string peer) : peer_(std::move(peer)) {}
    ~NetSnmpTransport() override {
        if (session_ != nullptr) {
            const std::lock_guard lock(libraryMutex());
            snmp_sess_close(session_);
        }
        if (pending_.response != nullptr) {
            snmp_free_pdu(pending_.response);
        }
    }
    NetSnmpTransport(const NetSnmpTransport&) = delete;
    NetSnmpTransport& operator=(const NetSnmpTransport&) = delete;
    NetSnmpTransport(NetSnmpTransport&&) = delete;
    NetSnmpTransport& operator=(NetSnmpTransport&&) = delete;

    FetchResult fetch(const SnmpRequest& request, const StopSignal& stop) override;

private:
    // The answer to the request in flight, filled in by the library's callback.
    struct Pending {
        int requestId = 0;
        bool done = false;
        netsnmp_pdu* response = nullptr;
    };

    static int onResponse(int operation, netsnmp_session* /*session*/, int requestId, netsnmp_pdu* pdu, void* magic);
    std::string open();
    FetchOutcome exchange(netsnmp_pdu* pdu, const StopSignal& stop);

    std::string peer_;
    void* session_ = nullptr;
    bool bulk_ = true;
    Pending pending_;
};

int NetSnmpTransport::onResponse(int operation, netsnmp_session* /*session*/, int requestId, netsnmp_pdu* pdu,
                                 void* magic) {
    auto& pending = *static_cast<Pending*>(magic);
    if (requestId != pending.requestId) {
        return 1;  // the answer to a request given up on
    }
    pending.done = true;
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu != nullptr) {
        pending.response = snmp_clone_pdu(pdu);
    }
    return 1;
}

std::string NetSnmpTransport::open() {
    const std::lock_guard lock(libraryMutex());
    initLibrary();
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = peer_;
    settings.peername = peer.data();
    // snmp.conf's defVersion; the library leaves applying it to its command-line tools.
    switch (netsnmp_ds_get_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_SNMPVERSION)) {
    case NETSNMP_DS_SNMP_VERSION_1: settings.version = SNMP_VERSION_1; break;
    case NETSNMP_DS_SNMP_VERSION_3: settings.version = SNMP_VERSION_3; break;
    default: settings.version = SNMP_VERSION_2c; break;
    }
    static char kPublic[] = "public";
    if (netsnmp_ds_get_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_COMMUNITY) == nullptr) {
        settings.community = reinterpret_cast<u_char*>(kPublic);
        settings.community_len = std::strlen(kPublic);
    }
    if (netsnmp_ds_get_int(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_TIMEOUT) <= 0) {
        settings.timeout = kDefaultTimeoutUs;
        settings.retries = kDefaultRetries;
    }
    settings.callback = onResponse;
    settings.callback_magic = &pending_;
    session_ = snmp_sess_open(&settings);
    if (session_ == nullptr) {
        int sysErrno = 0;
        int snmpErrno = 0;
        char* message = nullptr;
        snmp_error(&settings, &sysErrno, &snmpErrno, &message);
        std::string problem = message != nullptr ? message : "cannot open a session";
        SNMP_FREE(message);
        return problem;
    }
    bulk_ = snmp_sess_session(session_)->version != SNMP_VERSION_1;
    return {};
}

FetchOutcome NetSnmpTransport::exchange(netsnmp_pdu* pdu, const StopSignal& stop) {
    if (pending_.response != nullptr) {
        snmp_free_pdu(pending_.response);
    }
    pending_ = Pending{};
    pending_.requestId = snmp_sess_async_send(session_, pdu, onResponse, &pending_);
    if (pending_.requestId == 0) {
        snmp_free_pdu(pdu);
        return FetchOutcome::NoAnswer;
    }
    while (!pending_.done) {
        int fds = 0;
        fd_set readable;
        FD_ZERO(&readable);
        timeval wait{0, kLongestWaitUs};
        int block = 0;
        snmp_sess_select_info(session_, &fds, &readable, &wait, &block);
        if (block != 0 || wait.tv_sec > 0 || wait.tv_usec > kLongestWaitUs) {
            wait = {0, kLongestWaitUs};
        }
        // The stop signal wakes the wait at once: no polling, and no delay at quit.
        if (stop.fd() >= 0) {
            FD_SET(stop.fd(), &readable);
            fds = std::max(fds, stop.fd() + 1);
        } else {
            wait.tv_usec = std::min<long>(wait.tv_usec, 10'000);
        }
        const int ready = ::select(fds, &readable, nullptr, nullptr, &wait);
        if (stop.raised()) {
            return FetchOutcome::Stopped;
        }
        if (ready > 0) {
            snmp_sess_read(session_, &readable);
        } else if (ready == 0) {
            snmp_sess_timeout(session_);
        }
    }
    return pending_.response != nullptr && pending_.response->errstat == SNMP_ERR_NOERROR ? FetchOutcome::Answered
                                                                                          : FetchOutcome::NoAnswer;
}

FetchResult NetSnmpTransport::fetch(const SnmpRequest& request, const StopSignal& stop) {
    FetchResult result;
    if (session_ == nullptr) {
        if (std::string problem = open(); !problem.empty()) {
            result.outcome = FetchOutcome::BadHost;
            result.problem = std::move(problem);
            return result;
        }
    }
    result.answer.scalars.resize(request.scalars.size());
    result.answer.columns.resize(request.columns.size());
    std::vector<Oid> cursors = request.columns;
    std::vector<bool> done(request.columns.size(), false);
    for (int round = 0; round < kMaxRounds; ++round) {
        const bool first = round == 0;
        std::vector<std::size_t> active;
        for (std::size_t i = 0; i < done.size(); ++i) {
            if (!done[i]) {
                active.push_back(i);
            }
        }
        if (!first && active.empty()) {
            break;
        }
        netsnmp_pdu* pdu = snmp_pdu_create(bulk_ ? SNMP_MSG_GETBULK : SNMP_MSG_GETNEXT);
        const std::size_t leading = first ? request.scalars.size() : 0;
        if (bulk_) {
            pdu->non_repeaters = static_cast<long>(leading);
            pdu->max_repetitions = static_cast<long>(std::clamp<std::uint32_t>(request.expectedRows, 1, 64));
        }
        if (first) {
            // A scalar x.0 is what follows x.
            for (const Oid& s : request.scalars) {
                addNull(pdu, s, s.size() - 1);
            }
        }
        for (const std::size_t i : active) {
            addNull(pdu, cursors[i], cursors[i].size());
        }
        const FetchOutcome outcome = exchange(pdu, stop);
        if (outcome != FetchOutcome::Answered) {
            result.outcome = outcome;
            if (outcome == FetchOutcome::NoAnswer) {
                result.problem = "no answer from " + peer_;
            }
            return result;
        }
        std::size_t n = 0;
        bool progressed = false;
        for (const netsnmp_variable_list* v = pending_.response->variables; v != nullptr; v = v->next_variable, ++n) {
            if (n < leading) {
                const Oid& s = request.scalars[n];
                if (v->name_length == s.size() && std::equal(s.begin(), s.end(), v->name)) {
                    result.answer.scalars[n] = valueOf(*v);
                }
                continue;
            }
            if (active.empty()) {
                break;
            }
            const std::size_t i = active[(n - leading) % active.size()];
            if (done[i]) {
                continue;
            }
            if (!under(v->name, v->name_length, request.columns[i]) || v->type == SNMP_ENDOFMIBVIEW) {
                done[i] = true;
                continue;
            }
            result.answer.columns[i].push_back({static_cast<std::uint32_t>(v->name[v->name_length - 1]), valueOf(*v)});
            cursors[i].clear();
            for (std::size_t k = 0; k < v->name_length; ++k) {
                cursors[i].push_back(static_cast<std::uint32_t>(v->name[k]));
            }
            progressed = true;
        }
        if (!progressed) {
            break;  // an agent that answers nothing new would keep us here
        }
    }
    result.outcome = FetchOutcome::Answered;
    return result;
}

}  // namespace

std::unique_ptr<SnmpTransport> makeNetSnmpTransport(const std::string& peer) {
    return std::make_unique<NetSnmpTransport>(peer);
}

}  // namespace quorvel::snmp
