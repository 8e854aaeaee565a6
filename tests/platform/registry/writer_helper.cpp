// A separate writer process for the concurrency and crash tests.
//
//   registry_writer <file> distinct <prefix> <count>
//       sets <count> values "<prefix>-<i>" under Velmora\Photo, text and number
//       alternately, one write each.
//   registry_writer <file> churn <iteration> <kill-after-microseconds>
//       arms a timer that kills the process with SIGKILL, then rewrites the
//       values of churnValue() round after round until the kill lands.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/registry/store.h"
#include "writer_values.h"

namespace {

int distinct(registry::Store& store, const std::string& prefix, int count) {
  for (int i = 0; i < count; ++i) {
    auto key = store.createKey(writer::kKey);
    if (!key) return 2;
    const std::string name = prefix + "-" + std::to_string(i);
    const auto value = writer::distinctValue(prefix, i);
    if (!store.setValue(*key, name, value)) return 3;
  }
  return 0;
}

bool armKiller(long microseconds) {
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGKILL;
  timer_t timer{};
  if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) return false;
  itimerspec when{};
  when.it_value.tv_sec = microseconds / 1000000;
  when.it_value.tv_nsec = (microseconds % 1000000) * 1000 + 1;
  return timer_settime(timer, 0, &when, nullptr) == 0;
}

int churn(registry::Store& store, int iteration, long killAfter) {
  if (!armKiller(killAfter)) return 4;
  for (int round = 0;; ++round) {
    for (int slot = 0; slot < writer::kSlots; ++slot) {
      auto key = store.createKey(writer::kKey);
      if (!key) return 2;
      const auto [name, value] = writer::churnValue(iteration, round, slot);
      if (!store.setValue(*key, name, value)) return 3;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    static_cast<void>(std::fprintf(
        stderr, "usage: %s <file> distinct <prefix> <count> | churn <iteration> <us>\n", argv[0]));
    return 1;
  }
  registry::Store store(argv[1]);
  const std::string mode = argv[2];
  if (mode == "distinct") return distinct(store, argv[3], std::atoi(argv[4]));
  if (mode == "churn") return churn(store, std::atoi(argv[3]), std::atol(argv[4]));
  return 1;
}
