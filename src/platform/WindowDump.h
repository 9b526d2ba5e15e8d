#pragma once

// Windows that name themselves and show the values they hold, for the scripted driver and the
// tests (the driver's `windows`, `wdump`, `wclick` and `onmodal` find windows by these names).
// A window opts in by also deriving IDumpableWnd; a skinned dialog that does not is known by its
// template number.
//
// A dump is one line of KEY=VALUE pairs separated by spaces: numbers in decimal, per-seat or
// per-row values joined by commas, texts in double quotes.

#include "platform/WinDefs.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

class CWnd;

class CDumpContext {
public:
    void Add(std::string_view key, long long value);
    void Add(std::string_view key, std::span<const long long> values);
    // Any array of integers, one value per seat or row.
    template <typename T, std::size_t N>
    void AddList(std::string_view key, const T (&values)[N])
    {
        long long copy[N];
        for (std::size_t i = 0; i < N; ++i)
            copy[i] = static_cast<long long>(values[i]);
        Add(key, std::span<const long long>(copy, N));
    }
    void AddText(std::string_view key, std::string_view text);
    void AddTexts(std::string_view key, std::initializer_list<std::string_view> texts);
    // A value already in its printed form (for example a button list).
    void AddRaw(std::string_view key, std::string_view value);

    // "KEY=VALUE KEY=VALUE", empty when nothing was added.
    const std::string& Text() const { return m_text; }

private:
    void Key(std::string_view key);

    std::string m_text;
};

// A text in double quotes. A quote or backslash inside gets a backslash before it and control
// characters are written as \xNN, so that a name from the network cannot break the line.
std::string QuoteDumpText(std::string_view text);

// "ID:VE,ID:VE" for these controls of the window (V shown, E enabled, '-' otherwise), as the
// driver's `buttons` line writes them; controls that do not exist are left out.
std::string DumpControls(const CWnd& parent, std::initializer_list<int> ids);

class IDumpableWnd {
public:
    virtual ~IDumpableWnd() = default;
    // The name the driver knows the window by: its class name ("CScoreView").
    virtual std::string GetDumpName() const = 0;
    virtual void Dump(CDumpContext& dc) const = 0;
};

// The window's name for the driver: its own name when it has one, a skinned dialog's template
// number otherwise, else empty (the window is not listed).
std::string DumpNameOf(const CWnd& wnd);
// The window's values, empty for a window that shows none.
std::string DumpValuesOf(const CWnd& wnd);
// The driver's line for a window: "wdump NAME KEY=VALUE ...".
std::string WindowDumpLine(std::string_view name, const CWnd& wnd);
