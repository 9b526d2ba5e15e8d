// What the task window and the mission dialog take from the game window. The windows implement
// these; the game window pushes every mission record it receives and every tick of its mission
// clocks, so the windows never read the game window's state themselves.
#pragma once

#include "platform/WinDefs.h"
#include "protocol/GameRecords.h"

class ITaskPanel {
public:
    virtual ~ITaskPanel() = default;
    // Every mission record of kind 1 or 2 as it arrives; value is the game window's constant 100.
    virtual void SetTaskRecord(const TaskRecord& record, int value) = 0;
    // A task award for the local player: the award kind (1-based row of the tips picture) and
    // its count; the panel shows its award tab.
    virtual void ShowAward(BYTE cbKind, LONG lCount) = 0;
    // Whether the table runs a mission for the player (from every live snapshot), for the
    // picture of the award tab.
    virtual void SetMissionRunning(bool bRunning) = 0;
    // The completion animation of a task paid this game: it starts with the game end and stops
    // when the result window shows or the next game starts.
    virtual void PlayCompletion(bool bPlay) = 0;
};

class IMissionPanel {
public:
    virtual ~IMissionPanel() = default;
    // The game window's copy of a kind-1 or kind-2 record after it arrived or its clock ticked,
    // with the seconds its bonus has waited (0-30).
    virtual void SetMissionRecord(const TaskRecord& record, DWORD dwBonusTicks) = 0;
    // The challenge record's state for the result animation; the dialog plays it only while its
    // challenge page is shown.
    virtual void ShowMissionResult(BYTE cbState) = 0;
};
