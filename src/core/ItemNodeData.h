#pragma once

#include <QString>

#include "core/JobNote.h"

#include <cstdint>

// Job states; the value is also the position of the state picture in the list's image list.
enum TJobState : std::int32_t {
    jsWaiting = 0,
    jsConverting = 1,
    jsFinished = 2,
    jsFailed = 3,
};

struct TItemRootData {
    QString Caption;
};

// One job of the queue.
struct TItemData {
    QString FileName;          // full path of the source file
    std::int32_t Format = -1;  // profile position in the catalogue; -1 when none was chosen
    QString Path;              // output folder; empty means the default folder
    bool Busy = false;         // the job is being converted
    std::uint32_t Frame = 0;   // animation step of the moving block, 0 to 74
};

// What the job list keeps for every node.
struct TItemNodeData {
    std::uint8_t Kind = 1;
    std::int32_t State = jsWaiting;
    TItemRootData RootData;
    TItemData ItemData;
    // Why the job failed, in plain words (8-bit text, as the converter wrote it); empty unless
    // State is failed. Kept in memory only: list files do not carry it.
    JobNote FailureReason;
    // How far the job has got, in words (8-bit text); empty unless State is converting.
    JobNote Progress;
    // Where a finished job's output was committed (8-bit path, the name really used) and its
    // size in bytes then; empty unless State is finished.
    JobNote Output;
    std::int64_t OutputSize = 0;
    // What the output's check found wrong although the job was let finish (8-bit text); empty
    // unless State is finished.
    JobNote Warning;
};
