#include "platform/worker.h"

#include <windows.h>

namespace {

DWORD WINAPI WorkerLoop(void* parameter) {
  Worker* w = (Worker*)parameter;
  for (;;) {
    WaitForSingleObject(w->posted, INFINITE);
    if (!w->job) return 0;
    w->job(w->context);
    SetEvent(w->done);
  }
}

}  // namespace

bool StartWorker(Worker* w) {
  *w = Worker{};
  w->posted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  w->done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (w->posted && w->done) {
    DWORD id;
    w->thread = CreateThread(nullptr, 64 * 1024, WorkerLoop, w, 0, &id);
  }
  if (w->thread) return true;
  if (w->posted) CloseHandle(w->posted);
  if (w->done) CloseHandle(w->done);
  *w = Worker{};
  return false;
}

void PostToWorker(Worker* w, WorkerJob job, void* context) {
  w->job = job;
  w->context = context;
  w->busy = true;
  SetEvent(w->posted);
}

void WaitForWorker(Worker* w) {
  if (!w->busy) return;
  WaitForSingleObject(w->done, INFINITE);
  w->busy = false;
}

void StopWorker(Worker* w) {
  if (!w->thread) return;
  WaitForWorker(w);
  w->job = nullptr;
  SetEvent(w->posted);
  WaitForSingleObject(w->thread, INFINITE);
  CloseHandle(w->thread);
  CloseHandle(w->posted);
  CloseHandle(w->done);
  *w = Worker{};
}
