#include "services/DownloadTask.h"

#include "services/TransferRules.h"

#include <cstring>

DownloadTask::DownloadTask(const DownloadRequest& start)
    : id(start.id),
      tag(start.tag),
      host(start.host),
      port(start.port),
      userName(start.userName),
      password(start.password),
      rangeStart(start.rangeStart),
      rangeEnd(start.rangeEnd),
      value(start.value),
      notifyWindow(start.notifyWindow),
      paths(start.paths.begin(), start.paths.end()),
      bufferSize(TransferRules::StartBufferSize(start.bufferSize)),
      session(std::make_unique<CInternetSession>()) {
    buffer.reset(new BYTE[bufferSize]);
}

bool DownloadTask::GrowBuffer(int newSize) {
    if (!TransferRules::GrowsBuffer(bufferSize, newSize)) return false;
    std::unique_ptr<BYTE[]> grown(new BYTE[newSize]);
    if (buffered > 0) std::memcpy(grown.get(), buffer.get(), buffered);
    buffer = std::move(grown);
    bufferSize = newSize;
    return true;
}

void DownloadTask::CloseFile() {
    if (file) file->Close();
    file.reset();
}

void DownloadTask::CloseAll() {
    CloseFile();
    connection.reset();
    if (session) session->Close();
    state = 0;
}
