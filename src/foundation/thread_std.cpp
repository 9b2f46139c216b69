// The portable mutex and thread id, for builds without the Windows platform
// layer (thread_win32.cpp takes their place there).
#if !defined(_WIN32)

#include "foundation/thread.h"

#include <atomic>
#include <mutex>
#include <new>

namespace Qorm::Thread {
namespace {

static_assert(sizeof(std::mutex) <= Mutex::StorageSize);
static_assert(alignof(std::mutex) <= alignof(std::max_align_t));

std::mutex* mutexOf(unsigned char* storage)
{
    return std::launder(reinterpret_cast<std::mutex*>(storage));
}

std::atomic<std::uint32_t> lastThreadId{0};

} // namespace

Mutex::Mutex(std::uint32_t /*spinCount*/)
{
    new (storage_) std::mutex;
}

Mutex::~Mutex()
{
    mutexOf(storage_)->~mutex();
}

void Mutex::enter()
{
    mutexOf(storage_)->lock();
}

void Mutex::leave()
{
    mutexOf(storage_)->unlock();
}

// Numbered in the order threads first ask, from 1, never reused.
std::uint32_t currentThreadId()
{
    thread_local const std::uint32_t id = lastThreadId.fetch_add(1, std::memory_order_relaxed) + 1;
    return id;
}

} // namespace Qorm::Thread

#endif
