// Press-to-assign and the choice of the controller the gamepad settings
// window reads, apart from the window so that they are checked without one.
// While the window is open this module is the one writer of the working
// record: the assignments as they are captured, the controller and the other
// choices when the player accepts.
#pragma once

#include <cstdint>
#include <span>

#include "gamepad/input_table.h"
#include "gamepad/pad_settings.h"

// A listed controller, as the record stores it.
struct ControllerIdentity {
    PadGuid instance;
    PadGuid product;
};

// All zero is the state of a window that opens: row 0 current, nothing
// waited for, no controller read yet.
struct CaptureState {
    std::uint32_t currentRow; // the row the next capture fills
    bool waitingForRelease;   // after a capture or a question, until every input is released
    bool questionOpen;        // nothing is captured while a question of the window is open
    // The axis halves the controller rested at when the window started
    // reading it (a trigger resting at one end of its range): never
    // captured, never waited for.
    bool restingHalvesTaken;
    AxisHalfMask restingHalves;
    // The controller read, by identity, so that it is found again after the
    // list is rebuilt.
    bool chosenKnown;
    ControllerIdentity chosen;
};

// The window starts reading a controller: `identity` and `reading` are
// null when the number chosen is not in the list. Without a reading the
// resting halves are taken at the next step.
void beginReading(CaptureState& state, const ControllerIdentity* identity, const ControllerReading* reading);

// One poll of the window. `reading` is the read controller's, null when it
// is not listed. The lowest held input, buttons before axes and the resting
// halves left out, goes into the current row of `record`; the next row
// (row 0 after row 23) becomes current and nothing more is taken until every
// input is released. Answers the row filled, or -1.
int captureStep(CaptureState& state, const ControllerReading* reading, PadSettings& record);

// A question or error of the window opens and closes: an input still held
// when it closes waits for its release first.
void questionOpened(CaptureState& state);
void questionClosed(CaptureState& state);

struct ControllerPick {
    int device;      // -1: none is listed
    bool startsAnew; // read it afresh for its resting halves
};
// Which of the `listed` controllers to read, at opening (nothing chosen yet)
// and after the list was rebuilt: the chosen one while it is listed; else the
// last with both of the record's GUIDs; else the first. The chosen one keeps
// its resting halves when it was being read (`wasReading`) until the rebuild.
ControllerPick chooseController(std::span<const ControllerIdentity> listed, const CaptureState& state,
                                bool wasReading, const PadSettings& record);

// What OK takes into the record: the controller read (null: none, the GUIDs
// stay), the calibration step (-1: the list has no choice, the step read
// from the file stays) and the two switches.
void storeChoices(PadSettings& record, const ControllerIdentity* controller, int calibrationStep,
                  bool background, bool vibration);
