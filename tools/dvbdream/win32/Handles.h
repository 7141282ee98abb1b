#pragma once

#include <windows.h>

#include <cstdio>
#include <memory>

#include "ui/win32/Window.h"

// Owners for the few kinds of Windows handle the viewer holds; GDI objects have
// the window base's UniqueGdiObject, the snapshot its own in tools/common.
namespace zp::viewer {

struct KernelHandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// A slim reader/writer lock: exclusive for the viewer's thread when it tunes,
// shared for the delivery threads while they play a batch of packets.
class SrwLock {
 public:
  SrwLock() = default;
  SrwLock(const SrwLock&) = delete;
  SrwLock& operator=(const SrwLock&) = delete;
  SRWLOCK* Get() { return &lock_; }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SrwLock& lock) : lock_(lock) { AcquireSRWLockExclusive(lock_.Get()); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(lock_.Get()); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SrwLock& lock_;
};

class SharedLock {
 public:
  explicit SharedLock(SrwLock& lock) : lock_(lock) { AcquireSRWLockShared(lock_.Get()); }
  ~SharedLock() { ReleaseSRWLockShared(lock_.Get()); }
  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;

 private:
  SrwLock& lock_;
};

}  // namespace zp::viewer
