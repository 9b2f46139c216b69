// Reading one controller state into the 92-input table, against copying the
// raw state (the floor of any poll), and the heap allocations a poll makes.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "bench.h"
#include "gamepad/input_table.h"

namespace {
std::atomic<std::size_t> allocationCount{0};
} // namespace

// Every allocation of the benchmark program is counted.
void* operator new(std::size_t size)
{
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace Bench {

void pollingBenchmarks(Table& table)
{
    AxisCalibration calibration[CalibratedAxisCount];
    for (AxisCalibration& axis : calibration)
        axis = calibrateAxis(0, 65535);
    DirectInputState state{};
    DirectInputState copy{};
    for (std::size_t i = 0; i < sizeof state; ++i)
        state[i] = static_cast<std::uint8_t>(i * 37);
    ControllerReading reading{};
    const XInputPadState pad{XInputButton::A | XInputButton::DPadUp, 200, 30, -20000, 12000, 300, -32768};

    const auto pollDirectInput = [&] {
        readDirectInputState(state, calibration, reading);
        fillInputTable(reading);
        keep(firstHeldInput(reading, heldAxisHalves(reading)));
    };
    const auto pollXInput = [&] {
        readXInputState(pad, reading);
        fillInputTable(reading);
        keep(firstHeldInput(reading));
    };
    const auto copyState = [&] {
        std::memcpy(copy, state, sizeof state);
        keep(copy);
    };
    table.compare("poll+normalise one DirectInput device", "input table", pollDirectInput,
                  "memcpy 148 B state", copyState, 200000);
    table.compare("poll+normalise one XInput device", "input table", pollXInput, "memcpy 148 B state",
                  copyState, 200000);

    constexpr std::size_t Polls = 100000;
    const std::size_t before = allocationCount.load();
    for (std::size_t i = 0; i < Polls; ++i) {
        pollDirectInput();
        pollXInput();
    }
    const double perPoll = static_cast<double>(allocationCount.load() - before) / (2.0 * Polls);
    table.record(
        {"heap allocations per poll (must be 0)", "input table", "none allowed", perPoll, 0.0, "allocs"});
}

} // namespace Bench
