#include "sysinfo/system_gathering_win32.h"

#include <objbase.h>

#include <atomic>
#include <cstdlib>

#include "foundation/exclusive_lock_win32.h"
#include "shell/display_adapters_win32.h"
#include "shell/text_table_win32.h"
#include "sysinfo/dxdiag_ahead.h"
#include "sysinfo/probes_win32.h"

namespace {

// DxDiag often takes seconds on a real machine; far beyond that it is not
// coming back.
constexpr DWORD DefaultTimeLimit = 20000;

std::atomic<DWORD> timeLimit{0};
std::atomic<void (*)(GatheringStep)> stepHook{nullptr};
std::atomic<LONG> runningWorkers{0};
std::atomic<bool> exitWaitRegistered{false};
std::atomic<bool> threadsRefused{false};

// Workers left behind by a window that closed early (or by a run that ended
// before the early DxDiag answered) are given a while to finish before the
// process's static objects and runtimes go. The program itself does not get
// here with workers running: it ends its process first.
constexpr DWORD ExitWaitMilliseconds = 10000;

// Set once the process is leaving: a DxDiag that has not begun by then is
// not begun at all.
std::atomic<bool> leaving{false};

void waitAtExit()
{
    WaitForGatheringWorkers(ExitWaitMilliseconds);
}

void registerExitWait()
{
    if (!exitWaitRegistered.exchange(true))
        std::atexit(waitAtExit);
}

// A worker thread, counted while it runs; null when none could be started.
// The caller closes the handle.
HANDLE startThread(LPTHREAD_START_ROUTINE work, void* parameter)
{
    if (threadsRefused)
        return nullptr;
    ++runningWorkers;
    const HANDLE thread = CreateThread(nullptr, 0, work, parameter, 0, nullptr);
    if (!thread)
        --runningWorkers;
    return thread;
}

// What is left of a wait limit that began at construction (INFINITE stays).
class WaitBudget {
public:
    explicit WaitBudget(DWORD limit) : limit_(limit), start_(GetTickCount64()) {}
    DWORD left() const
    {
        if (limit_ == INFINITE)
            return INFINITE;
        const ULONGLONG spent = GetTickCount64() - start_;
        return spent >= limit_ ? 0 : static_cast<DWORD>(limit_ - spent);
    }

private:
    DWORD limit_;
    ULONGLONG start_;
};

// Turns the whole process takes: one DxDiag at a time, and the other steps
// of one gathering at a time. Two of either would only slow each other
// down, and a probe that hangs then holds up one thread, not one more for
// every window opened after it. Each is an unnamed mutex, made once; without
// one (no handle to be had) the work runs without its turn.
HANDLE dxdiagTurn()
{
    static const HANDLE turn = CreateMutexW(nullptr, FALSE, nullptr);
    return turn;
}

HANDLE stepsTurn()
{
    static const HANDLE turn = CreateMutexW(nullptr, FALSE, nullptr);
    return turn;
}

class TurnHeld {
public:
    TurnHeld(HANDLE turn, DWORD limit) : turn_(turn)
    {
        const DWORD waited = turn_ ? WaitForSingleObject(turn_, limit) : WAIT_FAILED;
        taken_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~TurnHeld()
    {
        if (taken_)
            ReleaseMutex(turn_);
    }
    TurnHeld(const TurnHeld&) = delete;
    TurnHeld& operator=(const TurnHeld&) = delete;

    bool held() const { return taken_ || !turn_; }

private:
    HANDLE turn_;
    bool taken_ = false;
};

// COM and the report's texts for the length of one worker's run.
class WorkerThread {
public:
    explicit WorkerThread(const TextTable& texts) : com_(CoInitialize(nullptr))
    {
        UseReportTextsOnThisThread(&texts);
    }
    ~WorkerThread()
    {
        UseReportTextsOnThisThread(nullptr);
        if (SUCCEEDED(com_))
            CoUninitialize();
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

private:
    HRESULT com_;
};

std::atomic<LONG> dxdiagAsked{0};

// Asks DxDiag in its turn, once the display adapters are prepared: DxDiag
// starts the graphics runtime too, and two cold starts at once would only
// slow each other down. False,
// with `facts` untouched, when the turn or the adapters did not come within
// `limit`, or when the process is leaving.
bool probeDxDiag(SystemFacts& facts, DWORD limit)
{
    const WaitBudget budget(limit);
    const TurnHeld turn(dxdiagTurn(), budget.left());
    if (!turn.held() || !WaitForDisplayAdapters(budget.left()) || leaving)
        return false;
    ++dxdiagAsked;
    if (const auto hook = stepHook.load())
        hook(GatheringStep::DxDiag);
    ProbeDxDiag(facts);
    return true;
}

// DxDiag asked ahead of the first window. Its thread and the gathering that
// takes it share it; the last to let go deletes it.
struct EarlyDxDiag {
    volatile LONG holders = 2;
    HANDLE done = nullptr;    // set once `facts` is complete
    HANDLE thread = nullptr;  // its worker's
    ULONGLONG answeredAt = 0; // GetTickCount64 when it was
    TextTable texts;          // the language the facts are written in
    SystemFacts facts;
};

// For tests: a lifetime of its own (0: the usual one).
std::atomic<DWORD> earlyAnswerLifetime{0};

std::atomic<bool> earlyDxDiagStarted{false};
// Null before the start, and again once a gathering took it.
std::atomic<EarlyDxDiag*> earlyDxDiag{nullptr};

void letGo(EarlyDxDiag* early)
{
    if (InterlockedDecrement(&early->holders) != 0)
        return;
    CloseHandle(early->done);
    if (early->thread)
        CloseHandle(early->thread);
    delete early;
}

DWORD WINAPI earlyDxDiagWorker(void* parameter)
{
    auto* early = static_cast<EarlyDxDiag*>(parameter);
    {
        const WorkerThread thread(early->texts);
        probeDxDiag(early->facts, INFINITE);
    }
    early->answeredAt = GetTickCount64();
    SetEvent(early->done);
    letGo(early);
    --runningWorkers;
    return 0;
}

// Puts the early answer into `facts` when there is one in the language of
// `texts`, waiting up to `limit` for it if need be. An answer in another
// language (the player switched before opening the window) is dropped, as
// its texts would be the wrong ones, and so is one that has grown old.
bool takeEarlyDxDiag(const TextTable& texts, SystemFacts& facts, DWORD limit)
{
    EarlyDxDiag* early = earlyDxDiag.exchange(nullptr);
    if (!early)
        return false;
    // One in another language is not waited for.
    const bool sameLanguage = early->texts == texts;
    if (sameLanguage) { // asked for later, it is now what the player waits for
        SetThreadPriority(early->thread, THREAD_PRIORITY_NORMAL);
        HurryDxDiag();
    }
    const DWORD lifetime = earlyAnswerLifetime;
    const bool usable = sameLanguage && WaitForSingleObject(early->done, limit) == WAIT_OBJECT_0 &&
                        dxdiagAheadAnswerServes(sameLanguage, GetTickCount64() - early->answeredAt,
                                                lifetime > 0 ? lifetime : AnswerLifetimeMilliseconds);
    if (usable)
        facts = std::move(early->facts);
    letGo(early);
    return usable;
}

// The DxDiag step of a gathering in the language of `texts`.
void askDxDiag(const TextTable& texts, GatheredParts& parts, DWORD limit)
{
    const WaitBudget budget(limit);
    if (!takeEarlyDxDiag(texts, parts.dxdiag, budget.left()))
        probeDxDiag(parts.dxdiag, budget.left());
}

} // namespace

struct SystemGathering {
    // The windows and the two workers; the last to let go deletes it.
    volatile LONG holders = 3;
    // Set by the DxDiag worker when its step is done.
    HANDLE dxdiagDone = nullptr;
    // Read-only copy for the workers' texts.
    TextTable texts;
    // How long one wait may take: without a limit on the workers, the time
    // limit when the window's own thread runs the steps.
    DWORD waitLimit = INFINITE;

    SRWLOCK lock = SRWLOCK_INIT;
    // Guarded by `lock`: null once the window let go.
    HWND window = nullptr;
    UINT progressMessage = 0;
    UINT doneMessage = 0;
    GatheredParts parts;
    unsigned stepsDone = 0;
    bool finished = false;
};

namespace {

// The gathering whose workers still run, if any. A window opened meanwhile
// in the same language (the last one was closed early, or left a probe that
// hangs behind at the time limit) takes it over instead of starting another.
SRWLOCK runningLock = SRWLOCK_INIT;
SystemGathering* running = nullptr;

void letGo(SystemGathering* gathering)
{
    if (InterlockedDecrement(&gathering->holders) != 0)
        return;
    if (gathering->dxdiagDone)
        CloseHandle(gathering->dxdiagDone);
    delete gathering;
}

SystemGathering* takeOver(HWND window, UINT progressMessage, UINT doneMessage, const TextTable& texts)
{
    const ExclusiveLock guard(runningLock);
    if (!running || !(running->texts == texts))
        return nullptr;
    const ExclusiveLock inner(running->lock);
    if (running->finished)
        return nullptr;
    InterlockedIncrement(&running->holders);
    running->window = window;
    running->progressMessage = progressMessage;
    running->doneMessage = doneMessage;
    PostMessageW(window, progressMessage, running->stepsDone, 0);
    return running;
}

void noLongerRunning(SystemGathering* gathering)
{
    const ExclusiveLock guard(runningLock);
    if (running == gathering)
        running = nullptr;
}

void runStep(SystemGathering& gathering, GatheringStep step, DWORD limit)
{
    GatheredParts result;
    if (step == GatheringStep::DxDiag) {
        askDxDiag(gathering.texts, result, limit);
    } else {
        if (const auto hook = stepHook.load())
            hook(step);
        RunGatheringStep(step, result, limit);
    }
    const ExclusiveLock guard(gathering.lock);
    MoveGatheredPart(step, result, gathering.parts);
    ++gathering.stepsDone;
    if (gathering.window)
        PostMessageW(gathering.window, gathering.progressMessage, gathering.stepsDone, 0);
}

void runDxDiag(SystemGathering& gathering)
{
    {
        const WorkerThread thread(gathering.texts);
        runStep(gathering, GatheringStep::DxDiag, gathering.waitLimit);
    }
    SetEvent(gathering.dxdiagDone);
}

DWORD WINAPI dxdiagWorker(void* parameter)
{
    auto* gathering = static_cast<SystemGathering*>(parameter);
    runDxDiag(*gathering);
    letGo(gathering);
    --runningWorkers;
    return 0;
}

// Every step but DxDiag, in the process's turn for them: steps that cannot
// have it in time are left out, as at the time limit.
void runOtherSteps(SystemGathering& gathering)
{
    const WorkerThread thread(gathering.texts);
    const WaitBudget budget(gathering.waitLimit);
    const TurnHeld turn(stepsTurn(), budget.left());
    if (!turn.held())
        return;
    for (unsigned step = 0; step < GatheringStepCount; ++step) {
        if (static_cast<GatheringStep>(step) != GatheringStep::DxDiag)
            runStep(gathering, static_cast<GatheringStep>(step), budget.left());
    }
}

// Once DxDiag is done too: tells the window.
void finish(SystemGathering& gathering)
{
    WaitForSingleObject(gathering.dxdiagDone, gathering.waitLimit);
    const ExclusiveLock guard(gathering.lock);
    gathering.finished = true;
    if (gathering.window)
        PostMessageW(gathering.window, gathering.doneMessage, 0, 0);
}

DWORD WINAPI mainWorker(void* parameter)
{
    auto* gathering = static_cast<SystemGathering*>(parameter);
    // Without a thread of its own, DxDiag runs here before the other steps.
    if (const HANDLE thread = startThread(dxdiagWorker, gathering)) {
        CloseHandle(thread);
    } else {
        runDxDiag(*gathering);
        letGo(gathering);
    }
    runOtherSteps(*gathering);
    finish(*gathering);
    noLongerRunning(gathering);
    letGo(gathering);
    --runningWorkers;
    return 0;
}

SystemReport takeReport(SystemGathering* gathering, bool wanted)
{
    GatheredParts parts;
    {
        const ExclusiveLock guard(gathering->lock);
        gathering->window = nullptr;
        if (wanted)
            parts = gathering->parts;
    }
    letGo(gathering);
    SystemFacts facts;
    return wanted ? BuildSystemReport(parts, facts, ReportText) : SystemReport{};
}

} // namespace

SystemGathering* StartSystemGathering(HWND window, UINT progressMessage, UINT doneMessage)
{
    registerExitWait();
    // A window that asks for itself needs no early answer any more.
    earlyDxDiagStarted = true;
    const TextTable& texts = CurrentTextTable();
    if (SystemGathering* taken = takeOver(window, progressMessage, doneMessage, texts))
        return taken;
    auto* gathering = new SystemGathering;
    gathering->texts = texts;
    gathering->window = window;
    gathering->progressMessage = progressMessage;
    gathering->doneMessage = doneMessage;
    gathering->dxdiagDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (gathering->dxdiagDone) {
        // Known as running before its worker can end.
        {
            const ExclusiveLock guard(runningLock);
            running = gathering;
        }
        if (const HANDLE thread = startThread(mainWorker, gathering)) {
            CloseHandle(thread);
            return gathering;
        }
        noLongerRunning(gathering);
    }
    // No worker: everything runs here, as it did before the window answered,
    // and no wait takes longer than the time limit.
    ++runningWorkers;
    gathering->waitLimit = SystemGatheringTimeLimit();
    if (!gathering->dxdiagDone)
        gathering->dxdiagDone = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    runDxDiag(*gathering);
    letGo(gathering);
    runOtherSteps(*gathering);
    finish(*gathering);
    letGo(gathering);
    --runningWorkers;
    return gathering;
}

SystemReport FinishSystemGathering(SystemGathering* gathering)
{
    return takeReport(gathering, true);
}

void AbandonSystemGathering(SystemGathering* gathering)
{
    takeReport(gathering, false);
}

void StartEarlyDxDiag()
{
    if (earlyDxDiagStarted.exchange(true))
        return;
    registerExitWait();
    auto* early = new EarlyDxDiag;
    early->texts = CurrentTextTable();
    early->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread = early->done ? startThread(earlyDxDiagWorker, early) : nullptr;
    if (!thread) {
        // The first window asks DxDiag itself.
        if (early->done)
            CloseHandle(early->done);
        delete early;
        return;
    }
    // Work for later: the player's windows come first.
    SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
    early->thread = thread;
    earlyDxDiag = early;
}

bool WaitForGatheringWorkers(DWORD milliseconds)
{
    leaving = true;
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (runningWorkers > 0 && GetTickCount64() < deadline)
        Sleep(5);
    return runningWorkers == 0;
}

bool EarlyDxDiagStarted()
{
    return earlyDxDiagStarted;
}

DWORD SystemGatheringTimeLimit()
{
    const DWORD limit = timeLimit;
    return limit > 0 ? limit : DefaultTimeLimit;
}

void SetSystemGatheringTimeLimit(DWORD milliseconds)
{
    timeLimit = milliseconds;
}

void SetGatheringStepHook(void (*hook)(GatheringStep step))
{
    stepHook = hook;
}

void RefuseGatheringThreads(bool refuse)
{
    threadsRefused = refuse;
}

LONG RunningGatheringWorkers()
{
    return runningWorkers;
}

bool EarlyDxDiagWaiting()
{
    return earlyDxDiag != nullptr;
}

LONG DxDiagAskedCount()
{
    return dxdiagAsked;
}

void SetEarlyDxDiagLifetime(DWORD milliseconds)
{
    earlyAnswerLifetime = milliseconds;
}

void ForgetEarlyDxDiag()
{
    if (EarlyDxDiag* early = earlyDxDiag.exchange(nullptr)) {
        WaitForSingleObject(early->done, INFINITE);
        letGo(early);
    }
    earlyDxDiagStarted = false;
}
