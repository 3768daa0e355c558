// The download thread against a real update host on loopback: the events it
// sends for each request, and the bytes they deliver, under each fault the
// host can inject.
#include "DownloadTestSupport.h"
#include "services/HttpDownloadThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {
const wchar_t kPackage[] = L"/update/pkg.exe";
constexpr int kId = 7;

std::vector<int> Tail(const std::vector<int>& types, size_t count) {
    return types.size() < count ? types : std::vector<int>(types.end() - count, types.end());
}

// Connection attempts succeed `g_connectsLeft` times, then fail, so the
// retry sequences run without a broken network.
std::atomic<int> g_connectsLeft{0};

class ScriptedConnectThread : public CHttpDownloadThread {
    DECLARE_DYNCREATE(ScriptedConnectThread)

protected:
    int Connect() override {
        if (g_connectsLeft.fetch_sub(1) > 0) return CHttpDownloadThread::Connect();
        return kCodeNoConnection;
    }
};
IMPLEMENT_DYNCREATE(ScriptedConnectThread, CHttpDownloadThread)

class DownloadThreadTest : public ::testing::Test {
protected:
    // Posts `request`, then a sentinel whose reply must be the next event:
    // what the request sent (perhaps nothing) lies between.
    std::vector<SeenEvent> RepliesTo(DownloadThreadRun& run,
                                     std::unique_ptr<DownloadRequest> request) {
        const size_t before = m_recorder.Events().size();
        run.Post(std::move(request));
        run.Post(ControlRequest(m_recorder.Window(), kRequestSetValue, kSentinelId));
        EXPECT_TRUE(m_recorder.PumpUntil([&] { return SentinelSeenAfter(before); }));
        const auto& all = m_recorder.Events();
        std::vector<SeenEvent> replies(all.begin() + static_cast<long>(before), all.end());
        if (!replies.empty()) replies.pop_back();  // the sentinel's own reply
        return replies;
    }

    bool SentinelSeenAfter(size_t before) const {
        const auto& all = m_recorder.Events();
        for (size_t i = before; i < all.size(); ++i) {
            if (all[i].id == kSentinelId) return true;
        }
        return false;
    }

    // One whole download of `paths` from `host`; the thread must end.
    void Download(UpdateHostProcess& host, std::vector<std::wstring> paths, int bufferSize = 0,
                  int growTo = 0, int rangeStart = 0, int rangeEnd = -1) {
        ASSERT_NE(host.Port(), 0) << "the update host did not start";
        DownloadThreadRun run;
        run.Post(StartRequest(m_recorder.Window(), host.Port(), paths, bufferSize, rangeStart,
                              rangeEnd));
        if (growTo) run.Post(ControlRequest(m_recorder.Window(), kRequestGrowBuffer, kId, growTo));
        ASSERT_TRUE(run.WaitEnded(m_recorder)) << "the download thread did not end";
    }

    static constexpr int kSentinelId = 99;
    EventRecorder m_recorder;
};

// ---- Requests -----------------------------------------------------------------

TEST_F(DownloadThreadTest, RequestsAreAnsweredByIdWithoutATransfer) {
    DownloadThreadRun run;
    const HWND window = m_recorder.Window();
    // An empty path list makes the task and nothing more: no connection, no event.
    EXPECT_TRUE(RepliesTo(run, StartRequest(window, 1, {})).empty());

    const struct {
        const char* what;
        int type;
        int id;
        int operand;
        int replyType;  // -1: no reply
        int replyCode;
    } cases[] = {
        {"Pause of another id", kRequestPause, 8, 0, 2, 5003},
        {"Stop of another id", kRequestStop, 8, 0, 3, 5003},
        {"SetValue of another id", kRequestSetValue, 8, 5, 4, 5003},
        {"GrowBuffer of another id", kRequestGrowBuffer, 8, 65536, 5, 5003},
        {"GrowBuffer to the same size", kRequestGrowBuffer, kId, 262144, -1, 0},
        {"GrowBuffer to a smaller size", kRequestGrowBuffer, kId, 32768, -1, 0},
        {"GrowBuffer past 8 MiB", kRequestGrowBuffer, kId, 8388609, -1, 0},
        {"GrowBuffer to 8 MiB", kRequestGrowBuffer, kId, 8388608, -1, 0},
        {"an unknown request type", 9, kId, 0, -1, 0},
        {"SetValue of the task", kRequestSetValue, kId, 5, 4, 0},
        {"Pause of the task", kRequestPause, kId, 0, 2, 0},
        {"Stop of the task", kRequestStop, kId, 0, 3, 0},
    };
    for (const auto& c : cases) {
        const auto replies = RepliesTo(run, ControlRequest(window, c.type, c.id, c.operand));
        if (c.replyType < 0) {
            EXPECT_TRUE(replies.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(replies.size(), 1u) << c.what;
        const SeenEvent& r = replies[0];
        EXPECT_EQ(std::vector<int>({r.id, r.type, r.code}),
                  std::vector<int>({c.id, c.replyType, c.replyCode}))
            << c.what;
        EXPECT_EQ(std::vector<int>({r.tag, r.end, r.buffered, r.position, r.stepBytes}),
                  std::vector<int>(5, 0))
            << c.what;
        EXPECT_TRUE(r.path.empty()) << c.what;
    }

    // The thread never takes a second task, not even after Stop closed the first.
    auto second = StartRequest(window, 1, {kPackage});
    second->tag = 1234;
    const auto refused = RepliesTo(run, std::move(second));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(std::vector<int>({refused[0].type, refused[0].code, refused[0].tag}),
              std::vector<int>({0, 5006, 1234}));
    EXPECT_FALSE(run.Ended());
}

// ---- Whole transfers -------------------------------------------------------------

TEST_F(DownloadThreadTest, DeliversEveryByteOneBufferLoadAtATime) {
    const struct {
        const char* what;
        int startSize;
        int growTo;
        size_t fileSize;
        int buffer;  // the size the deliveries show
    } cases[] = {
        {"no size asked for", 0, 0, 300000, 262144},
        {"just below the smallest", 32767, 0, 300000, 262144},
        {"just above the largest", 8388609, 0, 300000, 262144},
        {"the smallest", 32768, 0, 300000, 32768},
        {"the largest", 8388608, 0, 300000, 8388608},
        {"grown", 32768, 65536, 300000, 65536},
        {"not shrunk", 65536, 32768, 300000, 65536},
        {"not grown past the largest", 32768, 8388609, 300000, 32768},
        {"an exact multiple of the buffer", 32768, 0, 65536, 32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.Clear();
        const std::string served = PatternBytes(c.fileSize);
        UpdateHostProcess host({{"/update/pkg.exe", served}});
        Download(host, {kPackage}, c.startSize, c.growTo);

        EXPECT_EQ(m_recorder.Written().size(), served.size());
        EXPECT_TRUE(m_recorder.Written() == served);
        const auto types = m_recorder.Types();
        ASSERT_GE(types.size(), 4u);
        EXPECT_EQ(std::vector<int>(types.begin(), types.begin() + 2), std::vector<int>({1, 2}));
        EXPECT_EQ(Tail(types, 2), std::vector<int>({5, 6}));
        for (const SeenEvent& e : m_recorder.Events()) {
            EXPECT_EQ(std::vector<int>({e.id, e.tag, e.reserved}),
                      std::vector<int>({kId, 1000, 0}));
            if (e.type == kEventBufferFull) {
                EXPECT_EQ(e.buffered, c.buffer);
            }
            if (e.type == kEventRangeDone) {
                EXPECT_EQ(e.buffered, static_cast<int>(c.fileSize % c.buffer));
                EXPECT_EQ(e.position, static_cast<int>(c.fileSize));
                EXPECT_EQ(e.path, kPackage);
            }
        }
        const SeenEvent& connected = m_recorder.Events().front();
        EXPECT_EQ(connected.code, 200);
        EXPECT_TRUE(connected.path.empty());
        const SeenEvent& headers = m_recorder.Events()[1];
        EXPECT_EQ(std::vector<int>({headers.code, headers.end}),
                  std::vector<int>({0, static_cast<int>(c.fileSize)}));
        EXPECT_EQ(headers.path, kPackage);
        const SeenEvent& finished = m_recorder.Events().back();
        EXPECT_EQ(std::vector<int>({finished.code, finished.end, finished.buffered,
                                    finished.position, finished.stepBytes}),
                  std::vector<int>(5, 0));
        EXPECT_TRUE(finished.path.empty());
        EXPECT_EQ(host.Ranges(), std::vector<std::string>({"bytes=0-"}));
    }
}

TEST_F(DownloadThreadTest, RangesAreAskedForInTheirTwoForms) {
    const std::string served = PatternBytes(5000);
    const struct {
        int start;
        int end;
        const char* header;
        size_t length;
    } cases[] = {
        {0, -1, "bytes=0-", 5000},
        {0, 99, "bytes=0-99", 100},
        {1000, -1, "bytes=1000-", 4000},
        {1000, 1999, "bytes=1000-1999", 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        m_recorder.Clear();
        UpdateHostProcess host({{"/update/pkg.exe", served}});
        Download(host, {kPackage}, 0, 0, c.start, c.end);
        EXPECT_EQ(host.Ranges(), std::vector<std::string>({c.header}));
        const std::string& written = m_recorder.Written();
        ASSERT_EQ(written.size(), c.start + c.length);
        EXPECT_TRUE(written.substr(c.start) == served.substr(c.start, c.length));
        EXPECT_EQ(m_recorder.Events()[1].end, static_cast<int>(c.start + c.length));
    }
}

TEST_F(DownloadThreadTest, AMissingPathIsDroppedAndTheNextOneFetched) {
    const std::string served = PatternBytes(70000);
    UpdateHostProcess host({{"/update/pkg.exe", served}});
    Download(host, {L"/update/missing.exe", kPackage});
    const auto types = m_recorder.Types();
    ASSERT_GE(types.size(), 5u);
    EXPECT_EQ(std::vector<int>(types.begin(), types.begin() + 3), std::vector<int>({1, 2, 2}));
    EXPECT_EQ(Tail(types, 2), std::vector<int>({5, 6}));
    EXPECT_EQ(m_recorder.Events()[1].code, 404);
    EXPECT_EQ(m_recorder.Events()[1].path, L"/update/missing.exe");
    EXPECT_EQ(m_recorder.Events()[2].code, 0);
    EXPECT_TRUE(m_recorder.Written() == served);
}

TEST_F(DownloadThreadTest, NotFoundForTheOnlyPathEndsTheThreadAfterEventSix) {
    UpdateHostProcess host({{"/update/pkg.exe", "x"}}, {"--fault", "404"});
    Download(host, {kPackage});
    EXPECT_EQ(m_recorder.Types(), std::vector<int>({1, 2, 6}));
    EXPECT_EQ(m_recorder.Events()[1].code, 404);
    EXPECT_TRUE(m_recorder.Written().empty());
}

TEST_F(DownloadThreadTest, LengthsAreTakenFromTheHeadersOrTheAnswerIsRefused) {
    const std::string served = PatternBytes(50000);
    const struct {
        const char* what;
        std::vector<std::string> options;
        std::vector<int> types;
        int headersCode;
        bool complete;
    } cases[] = {
        {"no length header: complete at once", {"--fault", "no-length"}, {1, 2, 5, 6}, 0, false},
        {"only Content-Range", {"--fault", "content-range-only"}, {}, 0, true},
        {"2 GiB", {"--fault", "huge-length"}, {1, 2, 6}, kCodeBadLength, false},
        {"beyond 64 bits",
         {"--fault", "huge-length", "--length", "99999999999999999999999"},
         {1, 2, 6},
         kCodeBadLength,
         false},
        {"no digits",
         {"--fault", "garbage-length", "--length", "abc"},
         {1, 2, 6},
         kCodeBadLength,
         false},
        {"negative",
         {"--fault", "garbage-length", "--length", "-5"},
         {1, 2, 6},
         kCodeBadLength,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.Clear();
        UpdateHostProcess host({{"/update/pkg.exe", served}}, c.options);
        Download(host, {kPackage});
        if (!c.types.empty()) {
            EXPECT_EQ(m_recorder.Types(), c.types);
        }
        ASSERT_GE(m_recorder.Events().size(), 2u);
        EXPECT_EQ(m_recorder.Events()[1].code, c.headersCode);
        if (c.complete) {
            EXPECT_TRUE(m_recorder.Written() == served);
        } else {
            EXPECT_TRUE(m_recorder.Written().empty());
        }
        if (c.types == std::vector<int>({1, 2, 5, 6})) {
            EXPECT_EQ(m_recorder.Events()[2].buffered, 0);
        }
    }
}

// ---- Broken transfers --------------------------------------------------------------

TEST_F(DownloadThreadTest, ABrokenTransferResumesAndLosesNoByte) {
    const std::string served = PatternBytes(600000);
    const struct {
        const char* what;
        std::vector<std::string> options;
    } cases[] = {
        {"a clean close after 100000 bytes", {"--fault", "close-after", "--after", "100000"}},
        {"a reset after 100000 bytes", {"--fault", "reset", "--after", "100000", "--times", "1"}},
        {"a two-second stall", {"--fault", "stall", "--after", "100000", "--stall", "2"}},
        {"a close on the first buffer-load's edge",
         {"--fault", "close-after", "--after", "262144"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_recorder.Clear();
        UpdateHostProcess host({{"/update/pkg.exe", served}}, c.options);
        Download(host, {kPackage});
        EXPECT_EQ(m_recorder.Written().size(), served.size());
        EXPECT_TRUE(m_recorder.Written() == served);
        EXPECT_EQ(Tail(m_recorder.Types(), 2), std::vector<int>({5, 6}));
    }
}

TEST_F(DownloadThreadTest, AnEarlyEndDeliversTheHeldBytesThenAsksForTheRest) {
    const std::string served = PatternBytes(300000);
    UpdateHostProcess host({{"/update/pkg.exe", served}},
                           {"--fault", "close-after", "--after", "100000"});
    Download(host, {kPackage});
    EXPECT_EQ(host.Ranges(), std::vector<std::string>({"bytes=0-", "bytes=100000-"}));
    const auto& events = m_recorder.Events();
    size_t failed = 0;
    while (failed < events.size() && events[failed].type != kEventReadFailed) ++failed;
    ASSERT_LT(failed, events.size());
    EXPECT_EQ(events[failed].code, 0x400000);
    ASSERT_GE(failed, 1u);
    // Nothing held is left for the resumed request to overwrite or skip.
    EXPECT_EQ(events[failed - 1].type, kEventBufferFull);
    EXPECT_EQ(events[failed - 1].buffered, 100000);
    EXPECT_EQ(events[failed].buffered, 0);
    ASSERT_LT(failed + 1, events.size());
    EXPECT_EQ(std::vector<int>({events[failed + 1].type, events[failed + 1].code}),
              std::vector<int>({1, 200}));
    EXPECT_TRUE(m_recorder.Written() == served);
}

TEST_F(DownloadThreadTest, PauseAndStopHaltTheTransferForGood) {
    const std::string served = PatternBytes(2000000);
    for (const int type : {kRequestPause, kRequestStop}) {
        SCOPED_TRACE(type == kRequestPause ? "Pause" : "Stop");
        m_recorder.Clear();
        UpdateHostProcess host({{"/update/pkg.exe", served}},
                               {"--fault", "stall", "--after", "40000", "--stall", "2"});
        ASSERT_NE(host.Port(), 0);
        DownloadThreadRun run;
        run.Post(StartRequest(m_recorder.Window(), host.Port(), {kPackage}, 32768));
        ASSERT_TRUE(m_recorder.PumpUntil([&] { return m_recorder.Saw(kEventHeaders, 0); }));
        const auto replies = RepliesTo(run, ControlRequest(m_recorder.Window(), type, kId));
        ASSERT_FALSE(replies.empty());
        // Transfer events may still come before the request is handled,
        // none after its reply.
        EXPECT_EQ(std::vector<int>({replies.back().type, replies.back().code}),
                  std::vector<int>({type, 0}));
        EXPECT_TRUE(RepliesTo(run, ControlRequest(m_recorder.Window(), 9, kId)).empty());
        run.Quit();
        ASSERT_TRUE(run.WaitEnded(m_recorder));
        EXPECT_FALSE(m_recorder.Saw(kEventRangeDone, 0));
        EXPECT_FALSE(m_recorder.Saw(kEventFinished, 0));
        // Whatever was delivered, held bytes included, lies where it belongs.
        const std::string& written = m_recorder.Written();
        EXPECT_LT(written.size(), served.size());
        EXPECT_TRUE(written == served.substr(0, written.size()));
    }
}

// ---- Connection failures -------------------------------------------------------------

TEST_F(DownloadThreadTest, FiveFailedConnectionsAtStartEndTheThreadWithoutEventSix) {
    g_connectsLeft = 0;
    DownloadThreadRun run(RUNTIME_CLASS(ScriptedConnectThread));
    run.Post(StartRequest(m_recorder.Window(), 1, {kPackage}));
    ASSERT_TRUE(run.WaitEnded(m_recorder));
    EXPECT_EQ(m_recorder.Types(), std::vector<int>({1}));
    EXPECT_EQ(m_recorder.Events()[0].code, 500);
    EXPECT_LE(g_connectsLeft.load(), -5);
    EXPECT_GE(g_connectsLeft.load(), -5);
}

TEST_F(DownloadThreadTest, FailedReconnectionsEndTheThreadAndTheHeldBytesStillArrive) {
    const std::string served = PatternBytes(300000);
    UpdateHostProcess host({{"/update/pkg.exe", served}},
                           {"--fault", "reset", "--after", "100000", "--times", "1"});
    ASSERT_NE(host.Port(), 0);
    g_connectsLeft = 1;
    DownloadThreadRun run(RUNTIME_CLASS(ScriptedConnectThread));
    run.Post(StartRequest(m_recorder.Window(), host.Port(), {kPackage}));
    ASSERT_TRUE(run.WaitEnded(m_recorder));
    const auto& events = m_recorder.Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_FALSE(m_recorder.Saw(kEventFinished, 0));
    size_t gaveUp = 0;
    while (gaveUp < events.size() && events[gaveUp].code != 0x800000) ++gaveUp;
    ASSERT_LT(gaveUp, events.size());
    EXPECT_EQ(events[gaveUp].type, kEventReadFailed);
    EXPECT_TRUE(events[gaveUp].path.empty());
    // Held bytes, if the failed read left any, come from the exit, last.
    if (events[gaveUp].buffered > 0) {
        ASSERT_EQ(gaveUp + 2, events.size());
        EXPECT_EQ(events.back().type, kEventBufferFull);
        EXPECT_EQ(events.back().buffered, events[gaveUp].buffered);
    } else {
        EXPECT_EQ(gaveUp + 1, events.size());
    }
    const std::string& written = m_recorder.Written();
    EXPECT_GT(written.size(), 0u);
    EXPECT_TRUE(written == served.substr(0, written.size()));
}
}  // namespace
