#include "shell/leaving.h"

bool decideLeaving(Leaving way, bool changed, LeavingPlayer& player)
{
    if (!changed)
        return true;
    if (way == Leaving::Discarding)
        return player.ask(LeavingQuestion::ExitWithoutSaving) == PlayerAnswer::Yes;
    switch (player.ask(LeavingQuestion::SaveSettings)) {
    case PlayerAnswer::Yes:
        // A choice that did not reach the disk must not look saved.
        if (player.save())
            return true;
        player.ask(LeavingQuestion::SettingsNotSaved);
        return false;
    case PlayerAnswer::No: return true;
    case PlayerAnswer::Cancel: return false;
    }
    return false;
}
