#include "gamepad/assignment_capture.h"

#include <cstring>

namespace {

bool sameGuid(const PadGuid& a, const PadGuid& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The last listed controller with both identities, or -1.
int findController(std::span<const ControllerIdentity> listed, const PadGuid& instance,
                   const PadGuid& product)
{
    int found = -1;
    for (std::size_t device = 0; device < listed.size(); ++device) {
        if (sameGuid(listed[device].instance, instance) && sameGuid(listed[device].product, product))
            found = static_cast<int>(device);
    }
    return found;
}

} // namespace

void beginReading(CaptureState& state, const ControllerIdentity* identity, const ControllerReading* reading)
{
    state.restingHalvesTaken = reading != nullptr;
    state.restingHalves = reading ? heldAxisHalves(*reading) : 0;
    if (identity) {
        state.chosenKnown = true;
        state.chosen = *identity;
    }
}

int captureStep(CaptureState& state, const ControllerReading* reading, PadSettings& record)
{
    if (!reading)
        return -1; // no controller left: nothing to capture until one comes back
    if (!state.restingHalvesTaken) {
        state.restingHalves = heldAxisHalves(*reading);
        state.restingHalvesTaken = true;
    }
    if (state.questionOpen)
        return -1;
    if (state.waitingForRelease && !allInputsReleased(*reading, state.restingHalves))
        return -1;
    state.waitingForRelease = false;
    if (state.currentRow >= AssignmentRowCount)
        return -1;
    const int input = firstHeldInput(*reading, state.restingHalves);
    if (input < 0)
        return -1;
    const std::uint32_t row = state.currentRow;
    record.assignments[row] = static_cast<std::uint8_t>(input);
    state.currentRow = (row + 1) % AssignmentRowCount;
    state.waitingForRelease = true;
    return static_cast<int>(row);
}

void questionOpened(CaptureState& state)
{
    state.questionOpen = true;
}

void questionClosed(CaptureState& state)
{
    state.questionOpen = false;
    state.waitingForRelease = true;
}

ControllerPick chooseController(std::span<const ControllerIdentity> listed, const CaptureState& state,
                                bool wasReading, const PadSettings& record)
{
    if (state.chosenKnown) {
        const int kept = findController(listed, state.chosen.instance, state.chosen.product);
        if (kept >= 0)
            return {kept, !wasReading};
    }
    if (listed.empty())
        return {-1, false}; // the chosen identity is kept for its return
    const int saved = findController(listed, record.controllerInstance, record.controllerProduct);
    return {saved >= 0 ? saved : 0, true};
}

void storeChoices(PadSettings& record, const ControllerIdentity* controller, int calibrationStep,
                  bool background, bool vibration)
{
    if (controller) {
        record.controllerInstance = controller->instance;
        record.controllerProduct = controller->product;
    }
    if (calibrationStep >= 0)
        record.calibrationStep = static_cast<std::uint32_t>(calibrationStep);
    record.background = background ? 1 : 0;
    record.vibration = vibration ? 1 : 0;
}
