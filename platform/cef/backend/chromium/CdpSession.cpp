#include "cef/backend/chromium/CdpSession.h"

#include <utility>
#include <vector>

namespace cefimpl::chromium {
namespace {

using nlohmann::json;

// A field of the expected type, or the fallback.
std::string StringField(const json& object, const char* name) {
    const auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

CdpResponse ResponseFrom(const json& message) {
    CdpResponse response;
    const auto error = message.find("error");
    if (error != message.end()) {
        response.ok = false;
        if (error->is_object()) {
            const auto code = error->find("code");
            if (code != error->end() && code->is_number_integer())
                response.errorCode = code->get<int64_t>();
            response.errorMessage = StringField(*error, "message");
        }
        return response;
    }
    const auto result = message.find("result");
    if (result != message.end() && result->is_object()) response.result = *result;
    return response;
}

CdpResponse Failure(const std::string& reason) {
    CdpResponse response;
    response.ok = false;
    response.errorMessage = reason;
    return response;
}

}  // namespace

std::string CdpSession::Command(const std::string& method, const json& params,
                                const std::string& sessionId, ResponseHandler onResponse) {
    int64_t id;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        id = ++m_lastId;
        m_pending[id] = Pending{sessionId, std::move(onResponse)};
    }
    json message = {{"id", id}, {"method", method}};
    if (!params.is_null()) message["params"] = params;
    if (!sessionId.empty()) message["sessionId"] = sessionId;
    // Text from pages may hold broken UTF-8; it goes as U+FFFD rather than
    // as an exception.
    return message.dump(-1, ' ', false, json::error_handler_t::replace);
}

CdpSession::HandlerId CdpSession::On(const std::string& method, const std::string& sessionId,
                                     EventHandler handler) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_subscriptions[++m_lastHandlerId] = Subscription{method, sessionId, std::move(handler)};
    return m_lastHandlerId;
}

void CdpSession::Off(HandlerId id) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_subscriptions.erase(id);
}

CdpSession::Dispatched CdpSession::Dispatch(std::string_view text) {
    const json message = json::parse(text, nullptr, false);
    if (!message.is_object()) return Dispatched::kMalformed;  // a parse error reads as discarded
    if (message.contains("id")) return DispatchResponse(message);
    return DispatchEvent(message);
}

CdpSession::Dispatched CdpSession::DispatchResponse(const json& message) {
    const json& id = *message.find("id");
    if (!id.is_number_integer()) return Dispatched::kMalformed;
    ResponseHandler onResponse;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        const auto found = m_pending.find(id.get<int64_t>());
        if (found == m_pending.end()) return Dispatched::kUnknownId;
        onResponse = std::move(found->second.onResponse);
        m_pending.erase(found);
    }
    if (onResponse) onResponse(ResponseFrom(message));
    return Dispatched::kResponse;
}

CdpSession::Dispatched CdpSession::DispatchEvent(const json& message) {
    const auto method = message.find("method");
    if (method == message.end() || !method->is_string()) return Dispatched::kMalformed;
    const std::string name = method->get<std::string>();
    const std::string sessionId = StringField(message, "sessionId");
    std::vector<EventHandler> handlers;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (const auto& entry : m_subscriptions) {
            const Subscription& s = entry.second;
            if (s.method == name && s.sessionId == sessionId) handlers.push_back(s.handler);
        }
    }
    if (handlers.empty()) return Dispatched::kUnhandledEvent;
    static const json kNoParams = json::object();
    const auto params = message.find("params");
    const json& given = params != message.end() ? *params : kNoParams;
    for (const EventHandler& handler : handlers) handler(given);
    return Dispatched::kEvent;
}

void CdpSession::FailPending(const std::string& reason) {
    FailWhere([](const Pending&) { return true; }, reason);
}

void CdpSession::ForgetSession(const std::string& sessionId) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();) {
            it = it->second.sessionId == sessionId ? m_subscriptions.erase(it) : std::next(it);
        }
    }
    FailWhere([&sessionId](const Pending& p) { return p.sessionId == sessionId; },
              "target detached");
}

void CdpSession::FailWhere(const std::function<bool(const Pending&)>& which,
                           const std::string& reason) {
    std::vector<ResponseHandler> failed;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (!which(it->second)) {
                ++it;
                continue;
            }
            failed.push_back(std::move(it->second.onResponse));
            it = m_pending.erase(it);
        }
    }
    const CdpResponse response = Failure(reason);
    for (const ResponseHandler& onResponse : failed) {
        if (onResponse) onResponse(response);
    }
}

size_t CdpSession::PendingCount() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_pending.size();
}

}  // namespace cefimpl::chromium
