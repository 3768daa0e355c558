#include "cef/backend/RenderBrowser.h"

#include "cef/backend/WireValues.h"

namespace cefimpl {

CefRefPtr<RenderFrame> RenderBrowser::PrepareFrame(int index, int64_t id, const CefString& name) {
    std::vector<CefRefPtr<RenderFrame>> closed;
    CefRefPtr<RenderFrame> frame;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (index < 0 || index > static_cast<int>(m_frames.size())) return nullptr;
        if (index == 0 && m_frames.size() > 1) {
            closed.assign(m_frames.begin() + 1, m_frames.end());
            m_frames.resize(1);
            m_focusedFrame = -1;
        }
        if (index == static_cast<int>(m_frames.size())) m_frames.push_back(nullptr);
        if (!m_frames[index] || m_frames[index]->GetIdentifier() != id) {
            if (m_frames[index]) closed.push_back(m_frames[index]);
            m_frames[index] = new RenderFrame(this, index, id, name);
        }
        frame = m_frames[index];
    }
    for (auto& old : closed) old->Close();
    return frame;
}

CefRefPtr<RenderFrame> RenderBrowser::FrameAt(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_frames.size())) return nullptr;
    return m_frames[index];
}

void RenderBrowser::SetFocusedFrame(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_focusedFrame = index;
}

void RenderBrowser::Close() {
    std::vector<CefRefPtr<RenderFrame>> frames;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        frames.swap(m_frames);
        m_sender = nullptr;
    }
    for (auto& frame : frames) frame->Close();
}

bool RenderBrowser::IsSame(CefRefPtr<CefBrowser> that) {
    return that && that->GetIdentifier() == m_id;
}

CefRefPtr<CefFrame> RenderBrowser::GetFocusedFrame() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_focusedFrame >= 0 && m_focusedFrame < static_cast<int>(m_frames.size())) {
        return m_frames[m_focusedFrame].get();
    }
    return m_frames.empty() ? nullptr : m_frames[0].get();
}

size_t RenderBrowser::GetFrameCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.size();
}

bool RenderBrowser::SendProcessMessage(CefProcessId targetProcess,
                                       CefRefPtr<CefProcessMessage> message) {
    if (targetProcess != PID_BROWSER || !message) return false;
    WireWriter writer(WireType::kToBrowser);
    writer.Str(message->GetName().ToString16());
    WriteList(writer, message->GetArgumentList());
    Sender sender;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        sender = m_sender;
    }
    return sender && sender(writer.Frame());
}

}  // namespace cefimpl
