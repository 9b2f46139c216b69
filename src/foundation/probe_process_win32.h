// A probe run in a second process of this program, which writes what it
// finds to the first through a pipe, record by record. The graphics runtime
// is asked this way: its threads, hidden windows and locks then never live
// beside the tool's windows, which under Wine can stop each other for good,
// and a probe that hangs or crashes takes only its own process down.
//
// Probe processes belong to a job that ends them when the tool's process
// ends, however it ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

class ProbeProcess {
public:
    // Starts this program again as `"<program>" --probe <name>`, below the
    // normal priority when the calling thread runs below it.
    explicit ProbeProcess(const wchar_t* name);
    // Ends the process if it still runs.
    ~ProbeProcess();
    ProbeProcess(const ProbeProcess&) = delete;
    ProbeProcess& operator=(const ProbeProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    // Lets the probe run below the normal priority, or at it, from now on.
    void runBelowNormal(bool below) const;
    // Ends the process now; what it has not sent yet never comes.
    void end() const;
    // Waits for the next record; nothing once the process ended without
    // writing one, or wrote something that is not a record.
    std::optional<std::string> nextRecord();

private:
    bool readExactly(char* buffer, DWORD size);

    HANDLE process_ = nullptr;
    HANDLE output_ = nullptr; // the pipe's reading end
};

// True for a probe process this process started that still runs.
bool IsProbeProcessOfThisOne(DWORD processId);

// The probe this process was started to run (`--probe <name>`), or an empty
// text when it was started as the tool.
std::wstring RequestedProbe();

// In a probe process: sends one record to the tool. False when the tool is
// no longer there to read it.
bool WriteProbeRecord(std::string_view record);
