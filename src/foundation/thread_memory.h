// One object per thread, found by the calling thread's id and made on its
// first request.
#pragma once

#include <cstdint>
#include <forward_list>
#include <iterator>

#include "foundation/memory_pool.h"
#include "foundation/thread.h"

namespace Qorm::Data {

// Memory category of the per-thread entries.
inline constexpr unsigned ThreadMemoryCategory = 13;

template <typename Object> class ThreadMemory {
public:
    ThreadMemory() : mutex_(5) {}
    ThreadMemory(const ThreadMemory&) = delete;
    ThreadMemory& operator=(const ThreadMemory&) = delete;
    virtual ~ThreadMemory() = default;

    // The calling thread's object. The search runs under the mutex, since
    // another thread may be adding its own entry at the same time; entries
    // never move once made, so the reference stays valid for the store's
    // lifetime.
    Object& get()
    {
        const std::uint32_t threadId = Thread::currentThreadId();
        Thread::ScopedLock lock(mutex_);
        for (Entry& entry : entries_) {
            if (entry.threadId == threadId)
                return entry.object;
        }
        return entries_.emplace_front(Entry{threadId, Object()}).object;
    }

    // Number of threads that have an object.
    std::size_t threadCount()
    {
        Thread::ScopedLock lock(mutex_);
        return static_cast<std::size_t>(std::distance(entries_.begin(), entries_.end()));
    }

private:
    struct Entry {
        std::uint32_t threadId;
        Object object;
    };

    Thread::Mutex mutex_;
    // A list, so that entries never move once made.
    std::forward_list<Entry, Qorm::Memory::PoolAllocator<Entry, ThreadMemoryCategory>> entries_;
};

} // namespace Qorm::Data
