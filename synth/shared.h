// Shared<T>: one 32-bit field that the control thread and the audio thread
// both touch without a lock. Every load and store is a relaxed atomic, so a
// read never sees half a write; no ordering between fields is promised or
// needed. The type converts to and from T so code reads like plain fields.
#pragma once

#include <atomic>

namespace synth {

template <typename T>
class Shared {
  static_assert(std::atomic<T>::is_always_lock_free, "a shared field must be lock-free");

 public:
  Shared(T value = T{}) : value_(value) {}
  Shared(const Shared& other) : value_(other.Get()) {}
  Shared& operator=(const Shared& other) {
    Set(other.Get());
    return *this;
  }
  Shared& operator=(T value) {
    Set(value);
    return *this;
  }
  operator T() const { return Get(); }

  T Get() const { return value_.load(std::memory_order_relaxed); }
  void Set(T value) { value_.store(value, std::memory_order_relaxed); }

 private:
  std::atomic<T> value_;
};

}  // namespace synth
