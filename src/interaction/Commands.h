#pragma once

// The window messages that carry the player's commands to the game window. The view's buttons
// send them, the hand control and the trustee banner post them, and the seat clocks call the same
// handlers for automatic play.

#include "platform/WinDefs.h"

inline constexpr UINT UM_START = WM_USER + 100;
inline constexpr UINT UM_OUT_CARD = WM_USER + 101;
inline constexpr UINT UM_PASS = WM_USER + 102;
inline constexpr UINT UM_BID = WM_USER + 103;
inline constexpr UINT UM_HINT = WM_USER + 104;
inline constexpr UINT UM_TRUSTEE = WM_USER + 105;
inline constexpr UINT UM_SORT = WM_USER + 106;
inline constexpr UINT UM_PICK_PAIR = WM_USER + 107;
inline constexpr UINT UM_PICK_TRIO = WM_USER + 108;
inline constexpr UINT UM_PICK_LINE = WM_USER + 109;
inline constexpr UINT UM_PICK_PAIR_LINE = WM_USER + 110;
inline constexpr UINT UM_PICK_PLANE = WM_USER + 111;
inline constexpr UINT UM_PICK_BOMB = WM_USER + 112;
inline constexpr UINT UM_PICK_ROCKET = WM_USER + 113;
inline constexpr UINT UM_LAST_TURN = WM_USER + 114;
inline constexpr UINT UM_AUTO_PASS = WM_USER + 115;
inline constexpr UINT UM_BANG = WM_USER + 116;
inline constexpr UINT UM_LOTTERY = WM_USER + 117;
inline constexpr UINT UM_SIDE_PANEL = WM_USER + 118;
inline constexpr UINT UM_CARTOON_FINISH = WM_USER + 119;
inline constexpr UINT UM_RESERVED_120 = WM_USER + 120;
inline constexpr UINT UM_OPEN_REPLAY = WM_USER + 121;
// A change-score button of the view found the player's score low enough: the game window opens
// the change-score dialog with the view's request.
inline constexpr UINT UM_CHANGE_SCORE = WM_USER + 122;
inline constexpr UINT UM_NEXT_GAME = WM_USER + 200;
inline constexpr UINT UM_TRUSTEE_CANCEL = WM_USER + 201;
inline constexpr UINT UM_VIEW_PANEL = WM_USER + 300;
inline constexpr UINT UM_CARD_CLICK = WM_USER + 500;
inline constexpr UINT UM_CARD_RIGHT_CLICK = WM_USER + 501;

static_assert(UM_START == 0x464 && UM_OPEN_REPLAY == 0x479 && UM_NEXT_GAME == 0x4C8 && UM_CARD_CLICK == 0x5F4);
