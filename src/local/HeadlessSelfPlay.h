#pragma once

// Whole games played by three real game windows against the table engine in one program: each
// window (controller and view, off screen) is linked to its chair through a loopback link, asks
// for trustee at the start of every game so that its own automatic play bids and plays, and goes
// on to the next game through the result window's continue button, as a player would. All three
// share one virtual clock, which moves as fast as the windows can follow.
//
// Besides the checks of every self-play run (every game ends, cards are conserved, scores sum to
// zero) the run stops at the first message of a window that the engine refuses, a message of the
// engine that a window refuses, and a window whose hand is not the engine's hand of its chair
// (compared whenever a window has handled everything sent to it, and at the game end).
//
// Needs a QApplication; it sets the timer host and the client's services for its duration.

#include <cstdint>
#include <functional>

#include "server/SelfPlay.h"

class CGameClientDlg;

struct HeadlessSelfPlayOptions {
    // Games, seed, the table's settings and chair 0's messages; the bot kinds are not used, since
    // every chair has a client.
    server::SelfPlayOptions play;
    // Sees each window right after it handled a message of the table, before the checks (may be
    // empty; tests break a window here on purpose).
    std::function<void(uint16_t chair, CGameClientDlg& window, uint16_t subCmd)> onDelivered;
};

server::SelfPlaySummary RunHeadlessSelfPlay(const HeadlessSelfPlayOptions& options, const server::SelfPlayGameObserver& onGame = {});
