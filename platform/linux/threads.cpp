#include "platform/threads.h"

#include <pthread.h>
#include <unistd.h>

namespace aequa::platform {
namespace {

struct Start {
  void (*body)(uint32_t);
  uint32_t argument;
};

void* Run(void* start) {
  const Start s = *static_cast<Start*>(start);
  delete static_cast<Start*>(start);
  s.body(s.argument);
  return nullptr;
}

}  // namespace

bool StartThread(void (*body)(uint32_t), uint32_t argument, size_t stackBytes,
                 ThreadHandle& handle) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0) return false;
  // Rounded up to whole pages, as some systems require.
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t size = (stackBytes + page - 1) / page * page;
  pthread_t thread;
  Start* start = new Start{body, argument};
  bool ok = pthread_attr_setstacksize(&attr, size) == 0 &&
            pthread_create(&thread, &attr, &Run, start) == 0;
  pthread_attr_destroy(&attr);
  if (!ok) {
    delete start;
    return false;
  }
  handle.id = static_cast<uintptr_t>(thread);
  handle.started = true;
  return true;
}

void JoinThread(ThreadHandle& handle) {
  if (!handle.started) return;
  pthread_join(static_cast<pthread_t>(handle.id), nullptr);
  handle = ThreadHandle{};
}

}  // namespace aequa::platform
