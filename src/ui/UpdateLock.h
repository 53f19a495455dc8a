// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The change lock of a window. Setting a control from code raises the same change
// events as the user does; while a window's lock is positive its change handlers return
// at once, so code that sets controls, and each handler itself, holds the lock.

namespace zelk {

/// Raises `lock` by one for the guard's lifetime and lowers it again on every way out,
/// an exception included. Guards nest.
class TUpdateLockGuard {
 public:
  explicit TUpdateLockGuard(int& lock) : lock_(lock) { ++lock_; }
  ~TUpdateLockGuard() { --lock_; }
  TUpdateLockGuard(const TUpdateLockGuard&) = delete;
  TUpdateLockGuard& operator=(const TUpdateLockGuard&) = delete;

 private:
  int& lock_;
};

}  // namespace zelk
