#include "foundation/error_record.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

namespace {

using Qorm::Error::CodeQueue;
using Ring = Qorm::Error::Ring;

std::vector<int> held(Ring& ring, bool newestFirst = false)
{
    CodeQueue queue;
    Qorm::Error::eachcopyfunc copy;
    ring.forEach(copy, &queue, newestFirst);
    return {queue.begin(), queue.end()};
}

std::vector<int> recorded()
{
    CodeQueue queue;
    Qorm::Error::copyTo(queue, false);
    return {queue.begin(), queue.end()};
}

std::vector<int> sequence(int first, int last)
{
    std::vector<int> values;
    for (int value = first; value <= last; ++value)
        values.push_back(value);
    return values;
}

class ErrorRecord : public ::testing::Test {
protected:
    void SetUp() override { Qorm::Error::clear(); }
    void TearDown() override { Qorm::Error::clear(); }
};

} // namespace

TEST(RingMemory, KeepsTheLast32CodesAndDropsTheOldest)
{
    Ring ring;
    for (int code = 1; code <= 33; ++code)
        ring.add(code);
    EXPECT_EQ(32, ring.count());
    EXPECT_EQ(33, ring.newest());
    EXPECT_EQ(sequence(2, 33), held(ring));
}

TEST(RingMemory, StaysConsistentWhileWrappingAroundManyTimes)
{
    Ring ring;
    std::vector<int> expected;
    for (int code = 1; code <= 500; ++code) {
        ring.add(code);
        expected.push_back(code);
        if (expected.size() > 32)
            expected.erase(expected.begin());
        if (code % 7 == 0) {
            EXPECT_EQ(expected.back(), ring.pop());
            expected.pop_back();
        }
        ASSERT_EQ(static_cast<int>(expected.size()), ring.count()) << "after code " << code;
        ASSERT_EQ(expected, held(ring)) << "after code " << code;
    }
    std::vector<int> newestFirst(expected.rbegin(), expected.rend());
    EXPECT_EQ(newestFirst, held(ring, true));
}

TEST(RingMemory, PopAndNewestOfAnEmptyRingAnswerZero)
{
    Ring ring;
    EXPECT_TRUE(ring.isEmpty());
    EXPECT_EQ(0, ring.newest());
    EXPECT_EQ(0, ring.pop());
    ring.add(7);
    EXPECT_EQ(7, ring.pop());
    EXPECT_EQ(0, ring.pop());
    EXPECT_TRUE(ring.isEmpty());
    EXPECT_EQ(0, ring.count());
}

TEST(RingMemory, ForEachCountsTheCallsThatAccept)
{
    struct EvenOnly : Ring::EachFuncBase {
        bool operator()(int* value, void*) override { return *value % 2 == 0; }
    } evenOnly;
    Qorm::Error::eachprintfunc everyValue;
    Ring ring;
    for (int code = 1; code <= 40; ++code)
        ring.add(code);
    EXPECT_EQ(16, ring.forEach(evenOnly, nullptr, false));
    EXPECT_EQ(32, ring.forEach(everyValue, nullptr, true));
}

TEST_F(ErrorRecord, SetAfterAddsLeavesOnlyTheNewCode)
{
    Qorm::Error::add(1);
    Qorm::Error::add(2);
    Qorm::Error::set(5);
    EXPECT_EQ(std::vector<int>{5}, recorded());
    EXPECT_EQ(1, Qorm::Error::count());
    EXPECT_TRUE(Qorm::Error::hasError());
    EXPECT_FALSE(Qorm::Error::isEmpty());
}

TEST_F(ErrorRecord, SystemErrorsAreFollowedByTheirMarkAndInternetCodesReplaced)
{
    const struct {
        std::uint32_t systemCode;
        std::vector<int> recorded;
    } cases[] = {
        {12005, {10018}}, {12002, {10019}},        {12007, {10020}},
        {5, {5, 19900}},  {12006, {12006, 19900}}, {0xFFFFFFFFu, {-1, 19900}},
    };
    for (const auto& c : cases) {
        Qorm::Error::set(1);
        Qorm::Error::setSystemError(c.systemCode);
        EXPECT_EQ(c.recorded, recorded()) << c.systemCode;

        Qorm::Error::set(1);
        Qorm::Error::addSystemError(c.systemCode);
        std::vector<int> afterOne{1};
        afterOne.insert(afterOne.end(), c.recorded.begin(), c.recorded.end());
        EXPECT_EQ(afterOne, recorded()) << c.systemCode;
    }
}

TEST_F(ErrorRecord, RuntimeErrorIsFollowedByItsMark)
{
    Qorm::Error::add(3);
    Qorm::Error::setRuntimeError(2);
    EXPECT_EQ((std::vector<int>{2, 19901}), recorded());
}

TEST_F(ErrorRecord, NewestPopAndContainsSeeTheCallingThreadsCodes)
{
    EXPECT_EQ(0, Qorm::Error::newest());
    EXPECT_EQ(0, Qorm::Error::pop());
    Qorm::Error::add(10704);
    Qorm::Error::add(10709);
    EXPECT_TRUE(Qorm::Error::contains(10704));
    EXPECT_FALSE(Qorm::Error::contains(10705));
    EXPECT_EQ(10709, Qorm::Error::newest());
    EXPECT_EQ(10709, Qorm::Error::pop());
    EXPECT_EQ(10704, Qorm::Error::newest());
    Qorm::Error::clear();
    EXPECT_TRUE(Qorm::Error::isEmpty());
    EXPECT_FALSE(Qorm::Error::contains(10704));
}

TEST_F(ErrorRecord, RaiseRecordsTheCodeAndThrowsItInTheException)
{
    Qorm::Error::add(1);
    try {
        Qorm::Error::raise(10708);
        FAIL() << "raise returned";
    } catch (const Qorm::Error::Exception& e) {
        EXPECT_EQ(10708, e.code());
        EXPECT_STREQ("Qorm error 10708", e.what());
    }
    EXPECT_EQ((std::vector<int>{1, 10708}), recorded());

    EXPECT_THROW(Qorm::Error::raiseAfterClear(10709), Qorm::Error::Exception);
    EXPECT_EQ(std::vector<int>{10709}, recorded());

    const struct {
        std::uint32_t systemCode;
        int thrown;
        std::vector<int> recorded;
    } systemCases[] = {{5, 5, {5, 19900}}, {12002, 10019, {10019}}};
    for (const auto& c : systemCases) {
        Qorm::Error::add(1);
        try {
            Qorm::Error::raiseSystemError(c.systemCode);
            FAIL() << "raiseSystemError returned";
        } catch (const Qorm::Error::Exception& e) {
            EXPECT_EQ(c.thrown, e.code());
        }
        EXPECT_EQ(c.recorded, recorded());
    }
}

TEST_F(ErrorRecord, CopyToAndRestoreFromKeepTheOrder)
{
    for (int code = 1; code <= 5; ++code)
        Qorm::Error::add(code);
    CodeQueue queue{99, 98};
    Qorm::Error::copyTo(queue, true);
    EXPECT_EQ((CodeQueue{5, 4, 3, 2, 1}), queue);
    Qorm::Error::copyTo(queue, false);
    EXPECT_EQ((CodeQueue{1, 2, 3, 4, 5}), queue);

    Qorm::Error::set(42);
    Qorm::Error::restoreFrom(queue);
    EXPECT_EQ(sequence(1, 5), recorded());

    CodeQueue many;
    for (int code = 1; code <= 40; ++code)
        many.push_back(code);
    Qorm::Error::restoreFrom(many);
    EXPECT_EQ(sequence(9, 40), recorded());
}

TEST_F(ErrorRecord, EachThreadSeesOnlyItsOwnCodes)
{
    constexpr int ThreadCount = 8;
    constexpr int CodesPerThread = 200;
    const std::size_t threadsBefore = Qorm::Error::store().threadCount();
    Qorm::Error::add(7);

    std::latch start(ThreadCount);
    std::vector<std::vector<int>> seen(ThreadCount);
    std::vector<bool> startedEmpty(ThreadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < ThreadCount; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            startedEmpty[t] = Qorm::Error::isEmpty();
            for (int i = 1; i <= CodesPerThread; ++i) {
                Qorm::Error::add(t * 1000 + i);
                if (i % 3 == 0)
                    Qorm::Error::addSystemError(static_cast<std::uint32_t>(t));
            }
            seen[t] = recorded();
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (int t = 0; t < ThreadCount; ++t) {
        EXPECT_TRUE(startedEmpty[t]) << "thread " << t;
        ASSERT_EQ(32u, seen[t].size()) << "thread " << t;
        for (int code : seen[t])
            EXPECT_TRUE(code == t || code == 19900 || code / 1000 == t) << "thread " << t << " saw " << code;
        EXPECT_EQ(t * 1000 + CodesPerThread, seen[t].back()) << "thread " << t;
    }
    EXPECT_EQ(threadsBefore + ThreadCount, Qorm::Error::store().threadCount());
    EXPECT_EQ(std::vector<int>{7}, recorded());
}
