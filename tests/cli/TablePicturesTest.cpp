// The table as a player sees it, and the windows over it: the scripts under tests/e2e/pictures run through
// `qarrum-cli snapshot`, their pictures are kept under build/snapshots/ for review, and each is
// checked where the table puts its seats, bubbles, marks, numbers, panels and counter: those
// places must differ from the bare felt, or show the panel's own colour.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kScripts = fs::path(QARRUM_SOURCE_DIR) / "tests" / "e2e" / "pictures";
const fs::path kPictures = fs::path(QARRUM_BINARY_DIR) / "snapshots";

QImage Felt()
{
    static const QImage felt =
        QImage(QString::fromStdString((fs::path(QARRUM_BINARY_DIR) / "data" / "Telvo" / "img" / "bg_green.jpg").string()))
            .convertToFormat(QImage::Format_RGB32);
    return felt;
}

// Runs a picture script in a fresh user folder (so the table is green) and loads its picture,
// which stays in `folder`. Tests run in parallel processes: each writes pictures of its own.
QImage Snapshot(const std::string& name, const fs::path& folder = kPictures)
{
    fs::create_directories(folder);
    const fs::path home = fs::path(testing::TempDir()) / ("pictures_" + std::to_string(getpid()) + "_" + name);
    fs::remove_all(home);
    fs::create_directories(home);
    const fs::path picture = folder / (name + ".png");
    fs::remove(picture);
    const std::string command = "cd '" + home.string() + "' && QARRUM_HOME='" + home.string() + "' XDG_CONFIG_HOME='" +
        home.string() + "/.config' QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy " + QARRUM_CLI + " snapshot '" +
        (kScripts / (name + ".drive")).string() + "' --out '" + picture.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    fs::remove_all(home);
    return QImage(QString::fromStdString(picture.string())).convertToFormat(QImage::Format_RGB32);
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
        std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The share of the area's pixels that differ from the same pixels of `other`.
double Differs(const QImage& image, const QImage& other, const QRect& area)
{
    int differ = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differ += Near(image.pixel(x, y), other.pixel(x, y), 24) ? 0 : 1;
    return double(differ) / (area.width() * area.height());
}

// The share of the area's pixels of one colour (0x00BBGGRR, as the table names its colours).
double OfColour(const QImage& image, unsigned colorref, const QRect& area)
{
    const QRgb colour = qRgb(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
    int same = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            same += Near(image.pixel(x, y), colour, 2) ? 1 : 0;
    return double(same) / (area.width() * area.height());
}

class TablePictures : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(Felt().isNull()) << "the build's pictures are missing";
    }
    static void ExpectDrawn(const QImage& image, const QRect& area, double share, const char* what)
    {
        EXPECT_GE(Differs(image, Felt(), area), share) << what << " is not drawn at " << area.x() << ',' << area.y();
    }
    static void ExpectBare(const QImage& image, const QRect& area, const char* what)
    {
        EXPECT_LE(Differs(image, Felt(), area), 0.02) << what << " is drawn at " << area.x() << ',' << area.y();
    }
};

// Seat panels: the side seats at the top corners, the local seat at the bottom left; the side
// seats' small card backs; the counter's numbers along the bottom.
TEST_F(TablePictures, Dealing)
{
    const QImage image = Snapshot("dealing");
    ASSERT_EQ(image.size(), Felt().size());
    ExpectDrawn(image, QRect(0, 1, 112, 176), 0.5, "the left seat's panel");
    ExpectDrawn(image, QRect(906, 1, 112, 176), 0.5, "the right seat's panel");
    ExpectDrawn(image, QRect(0, 486, 112, 216), 0.5, "the local seat's panel");
    ExpectDrawn(image, QRect(307, 637, 27 * 15 - 8, 22), 0.5, "the card counter");
    // Nobody has bid yet.
    ExpectBare(image, QRect(118, 152, 48, 24), "a bubble of the left seat");
    ExpectBare(image, QRect(853, 152, 48, 24), "a bubble of the right seat");
}

// Both side seats' bid bubbles, with the word at the seat's bid mark; the local seat has none.
TEST_F(TablePictures, Bidding)
{
    const QImage image = Snapshot("bidding");
    ExpectDrawn(image, QRect(118, 152, 48, 24), 0.6, "the left seat's bubble");
    ExpectDrawn(image, QRect(853, 152, 48, 24), 0.6, "the right seat's bubble");
    ExpectBare(image, QRect(120, 430, 45, 36), "a bubble of the local seat");
    ExpectDrawn(image, QRect(312, 398, 394, 56), 0.5, "the bid buttons' tray");
}

// Doubling marks, the alarm bubble, the landlord's bid and the multiple on the plaque, the side
// seats' card counts under their backs.
TEST_F(TablePictures, MidGame)
{
    const QImage image = Snapshot("midgame");
    const QImage bidding = Snapshot("bidding", fs::path(testing::TempDir()) / ("reference_" + std::to_string(getpid())));
    ExpectDrawn(image, QRect(117, 123, 112, 21), 0.6, "the left seat's doubling marks");
    ExpectDrawn(image, QRect(792, 123, 112, 21), 0.6, "the right seat's doubling marks");
    ExpectDrawn(image, QRect(853, 152, 48, 24), 0.6, "the right seat's alarm bubble");
    ExpectBare(image, QRect(118, 152, 48, 24), "a bubble of the left seat");
    // Before the landlord is known the plaque is empty.
    EXPECT_GE(Differs(image, bidding, QRect(436, 35, 26, 31)), 0.15) << "the landlord's bid";
    EXPECT_GE(Differs(image, bidding, QRect(543, 35, 26, 31)), 0.15) << "the multiple";
    ExpectDrawn(image, QRect(10, 276, 40, 22), 0.1, "the left seat's card count");
    ExpectDrawn(image, QRect(978, 276, 20, 22), 0.1, "the right seat's card count");
}

// The two panels in their places, in the panels' own colour; the shape buttons' tray where the
// counter is not used.
TEST_F(TablePictures, GameEnd)
{
    const QImage image = Snapshot("gameend");
    EXPECT_GE(OfColour(image, 0x1B2940, QRect(632, 30, 260, 44)), 0.5) << "the score panel";
    EXPECT_GE(OfColour(image, 0x1B2940, QRect(118, 6, 274, 72)), 0.9) << "the match panel";
    EXPECT_LE(OfColour(image, 0x1B2940, QRect(400, 90, 200, 40)), 0.01);
    ExpectDrawn(image, QRect(320, 640, 380, 50), 0.5, "the shape buttons' tray");
}

// A prize match: the prize back with its nine digits in the middle of the table, and the match
// panel with its picture in the panel's place.
TEST_F(TablePictures, PrizeMatch)
{
    const QImage image = Snapshot("match");
    ExpectDrawn(image, QRect(436, 152, 196, 26), 0.6, "the prize digits");
    ExpectDrawn(image, QRect(360, 130, 60, 60), 0.6, "the prize back");
    EXPECT_LE(OfColour(image, 0x1B2940, QRect(118, 6, 274, 72)), 0.9) << "the match panel shows its picture";
}

// The windows over the table are pictured too: the result window covers the table with its title,
// banner and the three players' boxes; the last-turn window holds the plays in its seats' rows.
TEST_F(TablePictures, ResultAndLastTurnWindows)
{
    const QImage result = Snapshot("result_window");
    ExpectDrawn(result, QRect(420, 15, 180, 50), 0.3, "the result window's title");
    ExpectDrawn(result, QRect(260, 85, 500, 50), 0.6, "the room's banner");
    ExpectDrawn(result, QRect(700, 210, 260, 440), 0.9, "the multiplier table");
    ExpectDrawn(result, QRect(90, 255, 100, 100), 0.6, "the winner's face");

    const QImage lastTurn = Snapshot("last_turn");
    ExpectDrawn(lastTurn, QRect(440, 140, 140, 30), 0.2, "the last-turn window's title");
    ExpectDrawn(lastTurn, QRect(460, 395, 100, 95), 0.6, "the local player's play");
    ExpectDrawn(lastTurn, QRect(710, 260, 120, 95), 0.6, "the right seat's play");
}

}  // namespace
