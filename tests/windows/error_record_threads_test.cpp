#include "foundation/error_record.h"
#include "foundation/thread.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Worker {
    HANDLE start;
    int index;
    std::vector<int> seen;
    bool startedEmpty = false;
};

DWORD WINAPI recordCodes(void* argument)
{
    auto& worker = *static_cast<Worker*>(argument);
    WaitForSingleObject(worker.start, INFINITE);
    worker.startedEmpty = Qorm::Error::isEmpty();
    for (int i = 1; i <= 300; ++i) {
        Qorm::Error::add(worker.index * 1000 + i);
        if (i % 5 == 0)
            Qorm::Error::setSystemError(12002);
    }
    Qorm::Error::CodeQueue codes;
    Qorm::Error::copyTo(codes, false);
    worker.seen.assign(codes.begin(), codes.end());
    return 0;
}

} // namespace

TEST(ErrorRecordThreads, EveryThreadKeepsItsOwnRing)
{
    constexpr int ThreadCount = 8;
    Qorm::Error::set(1);
    const HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<Worker> workers(ThreadCount);
    std::vector<HANDLE> threads;
    for (int t = 0; t < ThreadCount; ++t) {
        workers[t].start = start;
        workers[t].index = t + 1;
        threads.push_back(CreateThread(nullptr, 0, recordCodes, &workers[t], 0, nullptr));
        ASSERT_NE(nullptr, threads.back());
    }
    SetEvent(start);
    WaitForMultipleObjects(ThreadCount, threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(start);

    for (const Worker& worker : workers) {
        EXPECT_TRUE(worker.startedEmpty) << "thread " << worker.index;
        // The last set(10019) at code 300 left 10019 alone.
        EXPECT_EQ(std::vector<int>{Qorm::Error::InternetTimeout}, worker.seen) << "thread " << worker.index;
    }
    EXPECT_EQ(1, Qorm::Error::newest());
    EXPECT_EQ(1, Qorm::Error::count());
}

namespace {

struct Counting {
    Qorm::Thread::Mutex mutex{4000};
    long long total = 0;
};

DWORD WINAPI countUnderTheMutex(void* argument)
{
    auto& counting = *static_cast<Counting*>(argument);
    for (int i = 0; i < 100000; ++i) {
        Qorm::Thread::ScopedLock lock(counting.mutex);
        counting.total = counting.total + 1;
    }
    return 0;
}

} // namespace

TEST(ErrorRecordThreads, TheMutexLetsOneThreadInAtATime)
{
    Counting counting;
    HANDLE threads[4];
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, countUnderTheMutex, &counting, 0, nullptr);
        ASSERT_NE(nullptr, thread);
    }
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    EXPECT_EQ(400000, counting.total);
}
