#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_controller (fuzz/corpus/fuzz_controller).

The seeds are the driver scripts of tests/e2e turned into the target's input form (see the head of
fuzz_controller.cpp), one well-formed record of every server sub-command and table snapshot, a
whole game in order, and the same with no local chair. Run it again when a script or a record
changes:  python3 fuzz/make_controller_seeds.py
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "fuzz" / "corpus" / "fuzz_controller"

NO_CHAIR = 3
ALL_USERS = 0x07
NO_ROUND_TABLE = 0x20
PAINT = 0x40


def head(chair=0, users=ALL_USERS, flags=0, room_kind=0):
    return bytes([chair, users | flags]) + struct.pack("<H", room_kind)


def record(kind, code, body=b""):
    return struct.pack("<BHH", kind, code, len(body)) + body


def msg(sub, body=b""):
    return record(0, sub, body)


def scene(state, body, lookon=False):
    return record(1 | (8 if lookon else 0), state, body)


def advance(ms):
    out = b""
    while ms > 0:
        out += record(2, min(ms, 0xFFFF))
        ms -= min(ms, 0xFFFF)
    return out


def hand(cards, size=20):
    return bytes(cards) + bytes(size - len(cards))


DECK = [c | s for s in (0x00, 0x10, 0x20, 0x30) for c in range(1, 14)] + [0x4E, 0x4F]
HANDS = [DECK[0:17], DECK[17:34], DECK[34:51]]
BACK = DECK[51:54]
COUNTS = bytes([4] * 13 + [1, 1])

STATUS_FREE = struct.pack("<iBBHI", 1, 0, 1, 0, 0) + bytes(15) + COUNTS + bytes(2) + struct.pack("<I", 1)
STATUS_SCORE = (struct.pack("<B3xiH", 1, 1, 0) + bytes([1, 255, 0]) + b"".join(hand(h) for h in HANDS)
                + bytes(3) + bytes([0, 0]) + struct.pack("<HB3xI", 0, 1, 0) + bytes(15) + COUNTS + bytes(2)
                + struct.pack("<I", 1))
STATUS_PLAY = (struct.pack("<HHiBBHH", 1, 2, 1, 3, 0, 1, 2) + bytes(3) + b"".join(hand(h) for h in HANDS)
               + bytes([17, 20, 17]) + bytes([2]) + hand([0x03, 0x13]) + bytes(3) + bytes([0]) + bytes(3)
               + bytes(3) + bytes(1) + struct.pack("<HBBHHB3xI", 0xFFFF, 0, 0, 48, 0, 1, 0) + bytes(15)
               + COUNTS + bytes(2) + struct.pack("<I", 1))
assert (len(STATUS_FREE), len(STATUS_SCORE), len(STATUS_PLAY)) == (48, 124, 164)

DEAL = (struct.pack("<H", 0) + b"".join(hand(h) for h in HANDS) + bytes(4) + struct.pack("<HB", 5, 0)
        + COUNTS + bytes(16))
LORD = struct.pack("<HB3x", 1, 3) + bytes(BACK) + bytes(35) + struct.pack("<H", 48)
GAME_END = (struct.pack("<i8x3i", 10, 6, -3, -3) + bytes([2, 1, 0]) + bytes([0x03, 0x13, 0x04]) + bytes(51)
            + bytes(3) + struct.pack("<i8x3i4xi", 0, 0, 0, 0, 1) + bytes(3) + bytes(1) + struct.pack("<3i", 0, 0, 0)
            + bytes(3) + bytes(1))
TASK = struct.pack("<BB2xi4xi", 1, 0, 60, 300) + bytes(696)
PROP_LIST = struct.pack("<HHH", 14, 1, 2 * 68) + b"".join(
    struct.pack("<ii", kind, price) + "道具".encode("gbk").ljust(60, b"\0") for kind, price in ((1, 10), (3, 20)))
assert (len(DEAL), len(LORD), len(GAME_END), len(TASK)) == (100, 46, 136, 712)

# One well-formed body of every server sub-command.
MESSAGES = {
    2: b"",
    4: struct.pack("<HBB", 1, 1, 0),
    6: struct.pack("<4I", 123, 50, 7, 3600),
    7: struct.pack("<HB5x", 2, 1),
    18: TASK,
    100: DEAL,
    101: struct.pack("<HHBB", 0, 1, 1, 1),
    102: LORD,
    103: struct.pack("<BxHH", 2, 2, 1) + bytes([0x03, 0x13]),
    104: struct.pack("<BxHH", 0, 2, 0),
    105: GAME_END,
    106: struct.pack("<B3x4I", 3, 1, 2, 2, 4),
    107: struct.pack("<B3x2I3H2x", 3, 1, 2, 1, 2, 3),
    108: struct.pack("<H", 1),
    110: b"",
    111: struct.pack("<HH", 0, 101),
    112: bytes(12) + struct.pack("<3I", 10, 20, 30) + bytes(16),
    113: struct.pack("<HBxi", 0, 1, 50),
    114: bytes(8) + bytes([1]) + bytes(3),
    121: struct.pack("<I", 1) + bytes(256),
    122: struct.pack("<i", 10000),
    123: struct.pack("<Ii", 1, -7),
    0xFFFF: PROP_LIST,
}
SCENES = {0: STATUS_FREE, 100: STATUS_SCORE, 101: STATUS_PLAY}


def from_drive(path):
    """A driver script as an input; commands the input form has no place for are left out."""
    chair, lookon, allow, room_kind = 0, 0, 0, 0
    flags = NO_ROUND_TABLE if "#! no installed data" in path.read_text() else 0
    present = set()
    start_users = None
    records = b""

    def started():
        nonlocal start_users
        if start_users is None:
            start_users = set(present)

    for line in path.read_text().splitlines():
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        command, args = words[0], words[1:]
        number = lambda text: int(text, 0)
        if command == "me" and start_users is None:
            value = number(args[0])
            chair = value if value < 3 else NO_CHAIR
        elif command == "user":
            seat = number(args[0]) % 3
            wanted = args[1] != "none"
            if start_users is None:
                (present.add if wanted else present.discard)(seat)
            elif wanted != (seat in present):
                records += record(5, seat)
                (present.add if wanted else present.discard)(seat)
        elif command == "lookon" and start_users is None:
            lookon = number(args[0])
            allow = next((number(a[6:]) for a in args[1:] if a.startswith("allow=")), allow)
        elif command == "roomkind" and start_users is None:
            room_kind = number(args[0]) & 0xFFFF
        elif command in ("msg", "scene"):
            started()
            if command == "msg":
                records += msg(number(args[0]) & 0xFFFF, bytes.fromhex("".join(args[1:])))
            else:
                records += scene(number(args[0]) & 0xFF, bytes.fromhex("".join(args[2:])), number(args[1]) != 0)
        elif command == "advance":
            started()
            records += advance(number(args[0]))
        elif command in ("reset", "hoststart", "click"):
            started()
            kind = {"reset": 3, "hoststart": 4, "click": 6}[command]
            records += record(kind, number(args[0]) if args else 0)
    users = sum(1 << seat for seat in (start_users if start_users is not None else present))
    flags |= (0x08 if lookon else 0) | (0x10 if allow else 0)
    return head(chair, users, flags, room_kind) + records


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for old in OUT.glob("*.bin"):
        old.unlink()
    seeds = {}
    for script in sorted((ROOT / "tests" / "e2e").glob("*.drive")):
        seeds["drive_" + script.stem] = from_drive(script)
    for sub, body in MESSAGES.items():
        seeds["msg_%d" % sub] = head() + msg(sub, body)
    for state, body in SCENES.items():
        seeds["scene_%d" % state] = head() + scene(state, body)
    seeds["scene_101_lookon"] = head(1, ALL_USERS, 0x08 | 0x10) + scene(101, STATUS_PLAY, True)
    game = (scene(0, STATUS_FREE) + record(6, 100) + msg(100, DEAL) + advance(2000) + msg(101, MESSAGES[101])
            + msg(102, LORD) + msg(103, MESSAGES[103]) + msg(104, MESSAGES[104]) + advance(15000)
            + msg(105, GAME_END) + advance(5000) + record(3, 0) + record(4, 0))
    seeds["game"] = head(flags=PAINT) + game
    seeds["game_no_chair"] = head(NO_CHAIR) + game
    seeds["no_chair_messages"] = head(NO_CHAIR) + b"".join(msg(sub, body) for sub, body in MESSAGES.items())
    seeds["users_come_and_go"] = head(0, 0x01, NO_ROUND_TABLE, 3) + record(5, 1) + record(5, 2) + scene(
        0, STATUS_FREE) + record(5, 1) + msg(7, MESSAGES[7])
    for name, data in seeds.items():
        (OUT / (name + ".bin")).write_bytes(data)
    print("%d seeds in %s" % (len(seeds), OUT.relative_to(ROOT)))


if __name__ == "__main__":
    main()
