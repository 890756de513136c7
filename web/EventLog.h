// The changes that every open page hears about, numbered in order.
//
// A change is published once the library call that made it has returned
// (or from inside it, by the library's own change notification); pages
// listen through a stream of server-sent events and fetch again what a
// change names. The log keeps the last kKeep events, so that a page that
// reconnects can catch up; one that fell further behind is told to reload.
// Thread-safe.

#ifndef PEMAR_WEB_EVENTLOG_H_
#define PEMAR_WEB_EVENTLOG_H_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace pemar::web {

struct Event {
  std::uint64_t sequence = 0;  // 1, 2, ... per server start
  std::string topic;   // what to fetch again: "utilities", "notes", "save"...
  std::string origin;  // "library" (a change notification) or "server"
  std::string detail;  // a name or a short text; may be empty
};

class EventLog {
 public:
  static constexpr std::size_t kKeep = 256;

  // Numbers and keeps the event, wakes every waiting listener and returns
  // its sequence number.
  std::uint64_t Publish(std::string topic, std::string origin,
                        std::string detail = "");

  // The events after `sequence`, waiting up to `timeout` for one when there
  // are none yet. Empty after the timeout or once the log is closed.
  // `missed` is set when events after `sequence` are no longer kept.
  std::vector<Event> After(std::uint64_t sequence,
                           std::chrono::milliseconds timeout, bool* missed);

  std::uint64_t LastSequence() const;

  // Wakes every listener for good: the server is stopping.
  void Close();
  bool closed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Event> events_;
  std::uint64_t last_ = 0;
  bool closed_ = false;
};

// One event as a server-sent-event frame: "id: N\ndata: {json}\n\n".
std::string EventFrame(const Event& event);

}  // namespace pemar::web

#endif  // PEMAR_WEB_EVENTLOG_H_
