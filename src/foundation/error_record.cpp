#include "foundation/error_record.h"

#include <cstdio>

namespace Qorm::Error {
namespace {

static_assert(sizeof(int) == sizeof(std::int32_t));

// Built right after the allocator (priority 101), whose blocks it uses, and
// before any other static object that might record an error; destroyed after
// all of them.
#if defined(__GNUC__)
__attribute__((init_priority(102)))
#endif
Store errorStore;

// Internet error codes and what is recorded in their place.
struct Replacement {
    std::uint32_t systemCode;
    int recorded;
};
constexpr Replacement InternetReplacements[] = {
    {12005, InternetInvalidUrl},
    {12002, InternetTimeout},
    {12007, InternetNameNotResolved},
};

// Returns the code recorded in the system code's place.
int recordSystemError(Ring& ring, std::uint32_t code)
{
    for (const Replacement& replacement : InternetReplacements) {
        if (replacement.systemCode == code) {
            ring.add(replacement.recorded);
            return replacement.recorded;
        }
    }
    ring.add(static_cast<int>(code));
    ring.add(SystemErrorMark);
    return static_cast<int>(code);
}

class FindFunc : public Ring::EachFuncBase {
public:
    bool operator()(int* value, void* argument) override
    {
        return *value == *static_cast<const int*>(argument);
    }
};

} // namespace

Exception::Exception(int code) : code_(code)
{
    std::snprintf(text_, sizeof text_, "Qorm error %d", code);
}

bool eachprintfunc::operator()(int* /*value*/, void* /*argument*/)
{
    return true;
}

bool eachcopyfunc::operator()(int* value, void* argument)
{
    static_cast<CodeQueue*>(argument)->push_back(*value);
    return true;
}

Store& store()
{
    return errorStore;
}

Ring& get()
{
    return errorStore.get();
}

void set(int code)
{
    Ring& ring = get();
    ring.clear();
    ring.add(code);
}

void add(int code)
{
    get().add(code);
}

void clear()
{
    get().clear();
}

int count()
{
    return get().count();
}

bool hasError()
{
    return count() != 0;
}

bool isEmpty()
{
    return get().isEmpty();
}

int newest()
{
    return get().newest();
}

int pop()
{
    return get().pop();
}

bool contains(int code)
{
    FindFunc find;
    return get().forEach(find, &code, false) != 0;
}

void setSystemError(std::uint32_t code)
{
    Ring& ring = get();
    ring.clear();
    recordSystemError(ring, code);
}

void addSystemError(std::uint32_t code)
{
    recordSystemError(get(), code);
}

void setRuntimeError(int number)
{
    Ring& ring = get();
    ring.clear();
    ring.add(number);
    ring.add(RuntimeErrorMark);
}

void raise(int code)
{
    add(code);
    throw Exception(code);
}

void raiseAfterClear(int code)
{
    set(code);
    throw Exception(code);
}

void raiseSystemError(std::uint32_t code)
{
    Ring& ring = get();
    ring.clear();
    throw Exception(recordSystemError(ring, code));
}

void copyTo(CodeQueue& queue, bool newestFirst)
{
    queue.clear();
    eachcopyfunc copy;
    get().forEach(copy, &queue, newestFirst);
}

void restoreFrom(const CodeQueue& queue)
{
    Ring& ring = get();
    ring.clear();
    for (const std::int32_t code : queue)
        ring.add(code);
}

} // namespace Qorm::Error
