#include "web/EventLog.h"

#include <nlohmann/json.hpp>

namespace pemar::web {

std::uint64_t EventLog::Publish(std::string topic, std::string origin,
                                std::string detail) {
  std::uint64_t sequence;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sequence = ++last_;
    events_.push_back(
        {sequence, std::move(topic), std::move(origin), std::move(detail)});
    if (events_.size() > kKeep) events_.pop_front();
  }
  changed_.notify_all();
  return sequence;
}

std::vector<Event> EventLog::After(std::uint64_t sequence,
                                   std::chrono::milliseconds timeout,
                                   bool* missed) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return closed_ || last_ > sequence; });
  std::vector<Event> found;
  if (missed) {
    *missed = !events_.empty() && sequence + 1 < events_.front().sequence;
  }
  if (closed_) return found;
  for (const Event& e : events_) {
    if (e.sequence > sequence) found.push_back(e);
  }
  return found;
}

std::uint64_t EventLog::LastSequence() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void EventLog::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool EventLog::closed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

std::string EventFrame(const Event& event) {
  const nlohmann::ordered_json data = {{"sequence", event.sequence},
                                       {"topic", event.topic},
                                       {"origin", event.origin},
                                       {"detail", event.detail}};
  return "id: " + std::to_string(event.sequence) + "\ndata: " +
         data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
         "\n\n";
}

}  // namespace pemar::web
