// The foundation library's mutex and the calling thread's id. The class is
// the same on every platform; on Windows it is a critical section
// (thread_win32.cpp), elsewhere a standard mutex (thread_std.cpp), so the
// code built on it is unit-tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Qorm::Thread {

class Mutex {
public:
    // The spin count is how often a waiting thread spins before it sleeps;
    // platforms without one ignore it.
    explicit Mutex(std::uint32_t spinCount);
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    virtual ~Mutex();

    void enter();
    void leave();

    // Room for the platform's lock object, kept inside the mutex so that
    // building one during static initialisation needs no allocation.
    static constexpr std::size_t StorageSize = 64;

private:
    alignas(std::max_align_t) unsigned char storage_[StorageSize];
};

// Holds a mutex for the lifetime of a scope.
class ScopedLock {
public:
    explicit ScopedLock(Mutex& mutex) : mutex_(mutex) { mutex_.enter(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { mutex_.leave(); }

private:
    Mutex& mutex_;
};

// A number that tells the calling thread from every other thread running.
std::uint32_t currentThreadId();

} // namespace Qorm::Thread
