// The per-thread error record: every thread keeps the last 32 failure codes
// that the foundation library recorded for it. Every operation acts on the
// calling thread's ring only.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>

#include "foundation/ring_memory.h"
#include "foundation/thread_memory.h"

namespace Qorm::Error {

using Ring = Data::RingMemory<int, 0, 32>;
using Store = Data::ThreadMemory<Ring>;
using CodeQueue = std::deque<std::int32_t>;

// Codes the library records.
enum Code : int {
    DirectoryToEmptyMissing = 10704,
    DirectoryToSearchMissing = 10705,
    CopySourceMissing = 10706,
    CopyDestinationEmpty = 10707,
    FileMissing = 10708,
    StreamNotOpen = 10709,
    // Recorded in place of the Internet error codes 12005, 12002 and 12007.
    InternetInvalidUrl = 10018,
    InternetTimeout = 10019,
    InternetNameNotResolved = 10020,
    // Follows a system error code (GetLastError) or a C runtime error number.
    SystemErrorMark = 19900,
    RuntimeErrorMark = 19901,
};

// Thrown by the raise operations; carries the code that was recorded (for a
// system error, the system code or its Internet replacement).
class Exception : public std::exception {
public:
    explicit Exception(int code);
    int code() const noexcept { return code_; }
    const char* what() const noexcept override { return text_; }

private:
    int code_;
    char text_[32];
};

// Accepts every value and does nothing else.
class eachprintfunc : public Ring::EachFuncBase {
public:
    bool operator()(int* value, void* argument) override;
};

// Appends each value to the CodeQueue given as the argument.
class eachcopyfunc : public Ring::EachFuncBase {
public:
    bool operator()(int* value, void* argument) override;
};

// The process's error store, built during static initialisation.
Store& store();
// The calling thread's ring.
Ring& get();

void set(int code);
void add(int code);
void clear();
int count();
bool hasError();
bool isEmpty();
// The most recent code, 0 when there is none.
int newest();
// Removes and returns the most recent code, 0 when there is none.
int pop();
bool contains(int code);

// A system error code, followed by SystemErrorMark; the three Internet
// codes are recorded as their replacements alone.
void setSystemError(std::uint32_t code);
void addSystemError(std::uint32_t code);
// A C runtime error number followed by RuntimeErrorMark.
void setRuntimeError(int number);

// The only operations of the library that throw.
[[noreturn]] void raise(int code);
[[noreturn]] void raiseAfterClear(int code);
[[noreturn]] void raiseSystemError(std::uint32_t code);

// Replaces the queue's contents by the held codes, oldest first unless
// newestFirst.
void copyTo(CodeQueue& queue, bool newestFirst);
// Replaces the ring's contents by the queue's codes in order (the last 32
// when there are more).
void restoreFrom(const CodeQueue& queue);

} // namespace Qorm::Error
