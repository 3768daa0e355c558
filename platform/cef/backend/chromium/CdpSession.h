// The DevTools protocol's message layer over one connection to the browser
// target: numbered commands and the answers to them, and events routed by
// method and by session. Targets attached in flat mode share the
// connection; their messages carry a sessionId, the browser's own carry
// none (an empty sessionId here).
//
// Threads: Dispatch runs on the connection's reader thread, commands are
// built on any. Handlers run on the thread that dispatches, outside the
// session's lock, so that a handler may send the next command at once.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace cefimpl::chromium {

struct CdpResponse {
    bool ok = true;
    nlohmann::json result = nlohmann::json::object();
    // Not ok: the protocol's error, or code 0 when no answer will come
    // (connection lost, target detached).
    int64_t errorCode = 0;
    std::string errorMessage;
};

class CdpSession {
public:
    using ResponseHandler = std::function<void(const CdpResponse&)>;
    using EventHandler = std::function<void(const nlohmann::json& params)>;
    using HandlerId = uint64_t;

    enum class Dispatched { kResponse, kEvent, kUnknownId, kUnhandledEvent, kMalformed };

    // The text to send for `method`; `onResponse`, if any, runs when the
    // answer is dispatched. Null params are left out of the message.
    std::string Command(const std::string& method,
                        const nlohmann::json& params = nlohmann::json::object(),
                        const std::string& sessionId = {}, ResponseHandler onResponse = {});

    // Every handler registered for an event's method and session runs, in
    // the order they were registered.
    HandlerId On(const std::string& method, const std::string& sessionId, EventHandler handler);
    void Off(HandlerId id);

    // One text message received from the browser.
    Dispatched Dispatch(std::string_view message);

    // The connection is gone: every waiting command hears so.
    void FailPending(const std::string& reason);
    // A target detached: its waiting commands fail, its handlers go.
    void ForgetSession(const std::string& sessionId);

    size_t PendingCount() const;

private:
    struct Pending {
        std::string sessionId;
        ResponseHandler onResponse;
    };
    struct Subscription {
        std::string method;
        std::string sessionId;
        EventHandler handler;
    };

    Dispatched DispatchResponse(const nlohmann::json& message);
    Dispatched DispatchEvent(const nlohmann::json& message);
    // Removes and answers with `reason` the commands `which` selects.
    void FailWhere(const std::function<bool(const Pending&)>& which, const std::string& reason);

    mutable std::mutex m_lock;
    int64_t m_lastId = 0;
    std::map<int64_t, Pending> m_pending;
    HandlerId m_lastHandlerId = 0;
    std::map<HandlerId, Subscription> m_subscriptions;  // in registration order
};

}  // namespace cefimpl::chromium
