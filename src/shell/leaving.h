// How a settings window is left, the same for every window. Through OK
// (`Leaving::Accepting`): unchanged, the window just ends; changed, the player
// is asked "Save these settings?": Yes saves (a save that fails is told, and
// the window stays so that the player can try again or leave without saving),
// No leaves without saving, Cancel stays. Through the close box, Cancel or
// Escape (`Leaving::Discarding`): changed, "Exit without saving changes?"
// decides. The platform side shows the questions and saves; this file only
// keeps the rule.
#pragma once

enum class Leaving { Accepting, Discarding };

enum class LeavingQuestion {
    SaveSettings,      // Yes, No or Cancel
    ExitWithoutSaving, // Yes or No
    SettingsNotSaved,  // a notice with OK only
};

// Escape, the close box and the OK of a notice answer as Cancel does.
enum class PlayerAnswer { Yes, No, Cancel };

class LeavingPlayer {
public:
    virtual PlayerAnswer ask(LeavingQuestion question) = 0;
    // True when the settings reached the disk.
    virtual bool save() = 0;

protected:
    ~LeavingPlayer() = default;
};

// True when the window is to end.
bool decideLeaving(Leaving way, bool changed, LeavingPlayer& player);
