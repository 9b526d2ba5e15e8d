#pragma once

// The per-player trace file "Telvo\TraceData_<name>.log" in the user data folder: one GBK line per
// entry, "【MM-DD-HH:MM:SS】" + text + "\r\n". Failures of the game end and of the replay recorder
// go there. Once the file has grown beyond 300000 bytes the next entry starts a new file.

#include <cstdint>

// What the trace file needs to know of the game window: the local chair and the name of the user
// on it. The host framework implements it; tests use a fake.
class TraceUserSource {
public:
    virtual ~TraceUserSource() = default;
    // 0xFFFF when there is none.
    virtual uint16_t GetMeChairID() const = 0;
    // The user's raw GBK szName (at most 32 bytes are read; a NUL ends it earlier), or nullptr when
    // the chair has no user.
    virtual const char* GetUserName(uint16_t chair) const = 0;
};

inline constexpr long kTraceFileLimit = 300000;

// Appends one entry; the text is formatted into 1000 bytes (as GBK) and cut there. Does nothing,
// and reports nothing, without a window, local chair or user, or when the file cannot be written.
void WriteTraceData(const TraceUserSource* window, const char* format, ...) __attribute__((format(printf, 2, 3)));
