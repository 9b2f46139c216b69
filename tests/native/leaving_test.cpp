// Leaving a settings window: which questions the player is asked, whether the
// settings are saved and whether the window ends.
#include "shell/leaving.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace {

using Q = LeavingQuestion;
using Answer = PlayerAnswer;

class ScriptedPlayer final : public LeavingPlayer {
public:
    ScriptedPlayer(std::vector<Answer> answers, bool saveSucceeds)
        : answers_(std::move(answers)), saveSucceeds_(saveSucceeds)
    {
    }
    Answer ask(Q question) override
    {
        asked.push_back(question);
        return next_ < answers_.size() ? answers_[next_++] : Answer::Cancel;
    }
    bool save() override
    {
        ++saves;
        return saveSucceeds_;
    }
    std::vector<Q> asked;
    int saves = 0;

private:
    std::vector<Answer> answers_;
    std::size_t next_ = 0;
    bool saveSucceeds_;
};

struct Case {
    const char* name;
    Leaving way;
    bool changed;
    std::vector<Answer> answers;
    bool saveSucceeds;
    std::vector<Q> asked;
    int saves;
    bool leaves;
};

constexpr Leaving ByOk = Leaving::Accepting;
constexpr Leaving ByClose = Leaving::Discarding; // the close box, Cancel or Escape
constexpr Answer Yes = Answer::Yes, No = Answer::No, Cancel = Answer::Cancel;

const Case Cases[] = {
    {"OK without a change just ends", ByOk, false, {}, true, {}, 0, true},
    {"the close box without a change just ends", ByClose, false, {}, true, {}, 0, true},
    {"OK, Yes saves and ends", ByOk, true, {Yes}, true, {Q::SaveSettings}, 1, true},
    {"OK, No ends without saving", ByOk, true, {No}, true, {Q::SaveSettings}, 0, true},
    {"OK, Cancel stays", ByOk, true, {Cancel}, true, {Q::SaveSettings}, 0, false},
    {"OK, Yes, the save fails: told, stays",
     ByOk,
     true,
     {Yes, Cancel},
     false,
     {Q::SaveSettings, Q::SettingsNotSaved},
     1,
     false},
    {"the close box, Yes ends without saving", ByClose, true, {Yes}, true, {Q::ExitWithoutSaving}, 0, true},
    {"the close box, No stays", ByClose, true, {No}, true, {Q::ExitWithoutSaving}, 0, false},
    {"the close box, Escape counts as No", ByClose, true, {Cancel}, true, {Q::ExitWithoutSaving}, 0, false},
};

TEST(Leaving, AsksSavesAndEndsAsThePlayerAnswers)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlayer player(c.answers, c.saveSucceeds);
        EXPECT_EQ(c.leaves, decideLeaving(c.way, c.changed, player));
        EXPECT_EQ(c.asked, player.asked);
        EXPECT_EQ(c.saves, player.saves);
    }
}

} // namespace
