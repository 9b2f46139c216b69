// Reading controllers runs every 30 ms for as long as a gamepad window is
// open: it must not touch the heap. Every allocation of this test program
// passes through the counter below.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "gamepad/input_table.h"

namespace {

std::atomic<std::size_t> allocations{0};

void* countedAllocation(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size)
{
    return countedAllocation(size);
}
void* operator new[](std::size_t size)
{
    return countedAllocation(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

TEST(ControllerPolling, ManyPollsAllocateNothing)
{
    AxisCalibration calibration[CalibratedAxisCount];
    for (AxisCalibration& axis : calibration)
        axis = calibrateAxis(0, 65535);
    DirectInputState state{};
    ControllerReading directInput{};
    ControllerReading xinput{};
    std::size_t held = 0;

    const std::size_t before = allocations.load();
    for (std::uint32_t poll = 0; poll < 20000; ++poll) {
        state[poll % ButtonCount] ^= 0x80;
        state[DirectInputAxisOffset + poll % (4 * CalibratedAxisCount)] = static_cast<std::uint8_t>(poll);
        const std::uint32_t hat = poll % 3 == 0 ? 0xFFFFFFFF : poll * 100 % 36000;
        for (int i = 0; i < 4; ++i)
            state[DirectInputHatOffset + i] = static_cast<std::uint8_t>(hat >> (8 * i));
        readDirectInputState(state, calibration, directInput);

        const XInputPadState pad{static_cast<std::uint16_t>(poll * 2654435761u),
                                 static_cast<std::uint8_t>(poll),
                                 static_cast<std::uint8_t>(poll >> 8),
                                 static_cast<std::int16_t>(poll * 3),
                                 static_cast<std::int16_t>(-poll),
                                 static_cast<std::int16_t>(poll * 7),
                                 static_cast<std::int16_t>(poll * 11)};
        readXInputState(pad, xinput);
        if (poll % 17 == 0)
            clearReading(xinput);
        const AxisHalfMask resting = heldAxisHalves(xinput);
        held += static_cast<std::size_t>(firstHeldInput(directInput, resting) + 1) +
                (allInputsReleased(xinput, resting) ? 0 : 1) +
                (inputValue(directInput, poll % 100) > 0.0f ? 1 : 0);
    }
    EXPECT_EQ(before, allocations.load());
    EXPECT_GT(held, 0u); // the readings were used, so the loop was not optimised away
}
