#pragma once

// Scripted answers to modal dialogs, for the scripted driver and tests. For a dialog name
// (DumpNameOf) a script queues the actions of its next modal run: press a control, press a point,
// move the clock, print the dialog's values. Installed as the modal hook, the script prints
// "modal NAME" for every run and then acts; the run ends when a control ends the dialog, and a run
// whose actions are spent, or that has none, ends with Cancel (SkinDialog.h).

#include "platform/Geometry.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSkinDialog;

struct tagModalAction {
    enum class Kind { Control, Press, Advance, Dump };
    Kind kind = Kind::Control;
    // The control id, or the milliseconds to advance.
    long nValue = 0;
    // The point to press, in the dialog's client coordinates.
    CPoint pt;
};

// "ID", "press:X,Y", "advance:MS" or "dump" (numbers decimal or 0x hex); nullopt for anything else.
std::optional<tagModalAction> ParseModalAction(std::string_view token);

class CModalScript {
public:
    using Print = std::function<void(const std::string& line)>;
    using Advance = std::function<void(long ms)>;

    // `print` gets every line; `advance` moves the clock and delivers what is due. After every
    // action the script lets posted messages run through `settle`.
    CModalScript(Print print, Advance advance, std::function<void()> settle);

    void Queue(const std::string& name, std::vector<tagModalAction> actions);
    // The modal hook.
    void Run(CSkinDialog& dialog);

private:
    Print m_print;
    Advance m_advance;
    std::function<void()> m_settle;
    std::map<std::string, std::deque<std::vector<tagModalAction>>, std::less<>> m_queued;
};
