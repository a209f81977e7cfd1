// GoogleTest needs std::mutex and std::condition_variable, which the win32 thread model of
// Debian's mingw-w64 libstdc++ lacks. This header supplies the two over SRW locks and condition
// variables; it is force-included into GoogleTest and the Windows test programs only, never into
// the program itself.
#pragma once
#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <mutex>
#include <condition_variable>
#include <windows.h>

namespace std {
class mutex {
 public:
  constexpr mutex() noexcept = default;
  mutex(const mutex&) = delete;
  mutex& operator=(const mutex&) = delete;
  void lock() { AcquireSRWLockExclusive(&lock_); }
  bool try_lock() { return TryAcquireSRWLockExclusive(&lock_) != 0; }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }
  SRWLOCK* native_handle() { return &lock_; }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class condition_variable {
 public:
  condition_variable() { InitializeConditionVariable(&cv_); }
  condition_variable(const condition_variable&) = delete;
  condition_variable& operator=(const condition_variable&) = delete;
  void notify_one() noexcept { WakeConditionVariable(&cv_); }
  void notify_all() noexcept { WakeAllConditionVariable(&cv_); }
  void wait(unique_lock<mutex>& lock) { SleepConditionVariableSRW(&cv_, lock.mutex()->native_handle(), INFINITE, 0); }
  template <class Predicate>
  void wait(unique_lock<mutex>& lock, Predicate pred) {
    while (!pred()) wait(lock);
  }

 private:
  CONDITION_VARIABLE cv_;
};
}  // namespace std
#endif
