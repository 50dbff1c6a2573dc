#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TConsoleRunner;

// The runner's published enumerations. Their order is part of the component's
// interface: the tables below are indexed by ordinal.
enum TOutputType : std::uint8_t { otEntireLine, otBeginningOfLine };

enum TReturnCode : std::uint8_t { rcCRLF, rcLF };

// How far a run got and how it ended (EndStatus). A run passes the even stages in order; a
// failure at a stage leaves the odd value after it.
enum TEndStatus : std::uint8_t {
    esBegun = 0,
    esBuffersFailed = 1,
    esCreatingPipes = 2,
    esPipeFailed = 3,
    esCreatingProcess = 4,
    esProcessFailed = 5,
    esRunning = 6,
    esRunFailed = 7,
    esEnded = 8,
    esStopped = 9,
    esTimedOut = 10,
};

enum TShowWindow : std::uint8_t {
    swHIDE,
    swMAXIMIZE,
    swMINIMIZE,
    swRESTORE,
    swSHOW,
    swSHOWDEFAULT,
    swSHOWMAXIMIZED,
    swSHOWMINIMIZED,
    swSHOWMINNOACTIVE,
    swSHOWNA,
    swSHOWNOACTIVATE,
    swSHOWNORMAL
};

enum TCreationFlag : std::uint8_t {
    fCREATE_DEFAULT_ERROR_MODE,
    fCREATE_NEW_CONSOLE,
    fCREATE_NEW_PROCESS_GROUP,
    fCREATE_SEPARATE_WOW_VDM,
    fCREATE_SHARED_WOW_VDM,
    fCREATE_SUSPENDED,
    fCREATE_UNICODE_ENVIRONMENT,
    fDEBUG_PROCESS,
    fDEBUG_ONLY_THIS_PROCESS,
    fDETACHED_PROCESS
};

namespace clipforge {

// Console window and creation flags keep their Windows values so that a
// stored setting means the same on every platform; on Linux a child has no
// console window and these values are carried but not applied.
inline constexpr std::array<std::uint32_t, 12> ShowWindowValues{0, 3, 6, 9, 5, 10, 3, 2, 7, 8, 4, 1};

inline constexpr std::array<std::uint32_t, 10> CreationFlagValues{
    0x04000000, 0x10, 0x200, 0x800, 0x1000, 0x4, 0x400, 0x1, 0x2, 0x8};

inline constexpr std::uint32_t NormalPriorityClass = 0x20;
inline constexpr std::uint32_t IdlePriorityClass = 0x40;
inline constexpr std::uint32_t BelowNormalPriorityClass = 0x4000;

// The exit code a run reports while its process has not ended by itself:
// after a stop or a time-out this is what reaches OnTerminated.
inline constexpr std::uint32_t StillActive = 259;

inline std::uint32_t showWindowValue(TShowWindow value) { return ShowWindowValues.at(value); }
inline std::uint32_t creationFlagValue(TCreationFlag value) { return CreationFlagValues.at(value); }

}  // namespace clipforge

// Events carry the runner as sender first. A handler written for a plain
// QObject* sender binds as well, since the runner converts to it.
using TNewLineEvent = std::function<void(TConsoleRunner* Sender, const std::string& NewLine, TOutputType OutputType)>;
using TTerminateEvent = std::function<void(TConsoleRunner* Sender, std::uint32_t ExitCode)>;

namespace clipforge {

// What a run copies from its runner when it starts, so a change during a run affects the next one.
struct RunSettings {
    std::string CommandLine;
    // The line a start failure's message names, when it is not CommandLine itself (the driver
    // names the output the user gets, not the private file the converter writes).
    std::string ShownCommandLine;
    TNewLineEvent OnNewLine;
    TTerminateEvent OnTerminated;
    bool InputToOutput = false;
    // Keeps the child's input open for InputLines. Otherwise the child reads end of file at
    // once, so a program that prompts or reads its input cannot wait forever.
    bool KeepInputOpen = false;
    std::int32_t MaxTimeAfterBeginning = 0;   // seconds; 0 or less: no limit
    std::int32_t MaxTimeAfterLastOutput = 0;  // seconds; 0 or less: no limit
    // Only the idle and below-normal classes have an effect: they lower the
    // child's scheduling priority.
    std::uint32_t Priority = NormalPriorityClass;
    TShowWindow ShowWindow = swHIDE;
    TCreationFlag CreationFlag = fCREATE_NEW_CONSOLE;
    // The folder the program starts in; empty for ours.
    std::string WorkingFolder;
    // When set, the program may create, change or remove files only below this folder (see
    // ChildStart).
    std::string WritableFolder;
};

}  // namespace clipforge
