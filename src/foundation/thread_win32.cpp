#include "foundation/thread.h"

#include <windows.h>

#include <new>

namespace Qorm::Thread {
namespace {

static_assert(sizeof(CRITICAL_SECTION) <= Mutex::StorageSize);
static_assert(alignof(CRITICAL_SECTION) <= alignof(std::max_align_t));

CRITICAL_SECTION* sectionOf(unsigned char* storage)
{
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

} // namespace

Mutex::Mutex(std::uint32_t spinCount)
{
    auto* section = new (storage_) CRITICAL_SECTION;
    // Cannot fail on Windows Vista and later.
    InitializeCriticalSectionAndSpinCount(section, spinCount);
}

Mutex::~Mutex()
{
    DeleteCriticalSection(sectionOf(storage_));
}

void Mutex::enter()
{
    EnterCriticalSection(sectionOf(storage_));
}

void Mutex::leave()
{
    LeaveCriticalSection(sectionOf(storage_));
}

std::uint32_t currentThreadId()
{
    return GetCurrentThreadId();
}

} // namespace Qorm::Thread
