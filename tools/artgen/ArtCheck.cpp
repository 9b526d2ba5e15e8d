// qarrum-artcheck DATADIR MANIFEST: checks the generated pictures against what their readers cut
// from them. The expectations are written from the readers' side (cells, rows, frame counts),
// not copied from the generator's catalog, so a catalog change that breaks a reader fails here.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int g_failures = 0;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "FAIL %s\n", what.c_str());
    ++g_failures;
}

QString g_dataDir;

QImage Load(const char* path)
{
    QImage image(g_dataDir + QLatin1Char('/') + QString::fromUtf8(path));
    if (image.isNull())
        Fail(std::string(path) + ": cannot be read");
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool Opaque(QRgb p)
{
    return qAlpha(p) != 0;
}

// True when some pixel of the rectangle is not transparent (for keyed bitmaps: not the key).
bool HasInk(const QImage& image, const QRect& r, QRgb key = 0, bool keyed = false)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (keyed ? (p | 0xFF000000u) != (key | 0xFF000000u) : Opaque(p))
                return true;
        }
    return false;
}

std::string Name(const char* path, const std::string& detail)
{
    return std::string(path) + ": " + detail;
}

// Every file of the manifest exists, is of the format its name says, and has the listed size.
void CheckManifest(const std::string& manifestPath)
{
    std::ifstream in(manifestPath);
    if (!in) {
        Fail("manifest " + manifestPath + " missing");
        return;
    }
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string path;
        int w = 0, h = 0;
        if (!(fields >> path >> w >> h)) {
            Fail("bad manifest line: " + line);
            continue;
        }
        ++count;
        QFile file(g_dataDir + QLatin1Char('/') + QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) {
            Fail(path + ": missing");
            continue;
        }
        const QByteArray head = file.read(8);
        const std::string ext = path.substr(path.rfind('.') + 1);
        std::string lower;
        for (char c : ext)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool ok = (lower == "png" && head.startsWith("\x89PNG")) || (lower == "bmp" && head.startsWith("BM")) ||
                        (lower == "jpg" && head.startsWith("\xFF\xD8"));
        if (!ok)
            Fail(path + ": content is not " + lower);
        const QImage image(file.fileName());
        if (image.width() != w || image.height() != h)
            Fail(path + ": size differs from the manifest");
        if (lower == "png" && !image.hasAlphaChannel())
            Fail(path + ": PNG without alpha");
    }
    if (count < 100)
        Fail("manifest lists only " + std::to_string(count) + " pictures");
}

void CheckCardSheet()
{
    const char* path = "Telvo/img/card.bmp";
    const QImage sheet = Load(path);
    if (sheet.isNull())
        return;
    if (sheet.width() % 13 != 0 || sheet.height() % 5 != 0) {
        Fail(Name(path, "not a 13 x 5 grid"));
        return;
    }
    const int cw = sheet.width() / 13, ch = sheet.height() / 5;
    if (cw < 60 || ch < 80)
        Fail(Name(path, "cells too small to read"));
    const QRgb black = qRgb(0, 0, 0);
    // Four suits of thirteen, the two jokers and the back are drawn; the rest of row 4 is key.
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 13; ++col) {
            const QRect cell(col * cw, row * ch, cw, ch);
            const bool drawn = row < 4 || col < 3;
            const QRgb centre = sheet.pixel(cell.center()) | 0xFF000000u;
            if (drawn && centre == black)
                Fail(Name(path, "cell " + std::to_string(row) + "," + std::to_string(col) + " is empty at its centre"));
            if (!drawn && HasInk(sheet, cell, black, true))
                Fail(Name(path, "unused cell " + std::to_string(col) + " of row 4 is not black"));
        }
    // Corners outside the rounded card are the key colour, so the card's shape shows.
    if ((sheet.pixel(0, 0) | 0xFF000000u) != black)
        Fail(Name(path, "corner is not black"));
}

struct StripRule {
    const char* path;
    int frames;
};

// Frame strips are cut into equal frames by their frame count; each frame must show something.
void CheckStrips()
{
    const StripRule strips[] = {{"Telvo/img/BOMB.PNG", 26},          {"Telvo/img/rocket.PNG", 2},
                                {"Telvo/img/plane.png", 3},          {"Telvo/img/flower.PNG", 20},
                                {"Telvo/img/spring.png", 20},        {"Telvo/img/springContrary.png", 20},
                                {"Telvo/img/smoke.png", 14},         {"Telvo/img/shuffle_card.png", 19},
                                {"Telvo/img/roleAnimation.png", 12}, {"hubra/mission/animate_complete.png", 2},
                                {"hubra/mission/animate_fail.png", 2}, {"Telvo/img/alarm.png", 10},
                                {"Telvo/img/Top.png", 4}};
    for (const StripRule& rule : strips) {
        const QImage image = Load(rule.path);
        if (image.isNull())
            continue;
        if (image.width() % rule.frames != 0) {
            Fail(Name(rule.path, "width not divisible by its frame count"));
            continue;
        }
        const int fw = image.width() / rule.frames;
        for (int k = 0; k < rule.frames; ++k)
            if (!HasInk(image, QRect(k * fw, 0, fw, image.height())))
                Fail(Name(rule.path, "frame " + std::to_string(k) + " is empty"));
    }
    const QImage firework = Load("Telvo/img/GameEnd/firework.png");
    if (!firework.isNull() && (firework.width() != 323 || firework.height() != 15 * 90))
        Fail("firework.png: not fifteen 323 x 90 frames stacked");
    const QImage cartoon = Load("Telvo/img/NewMission/TaskCartoon.bmp");
    if (!cartoon.isNull() && (cartoon.width() != 4 * 297 || cartoon.height() != 292))
        Fail("TaskCartoon.bmp: not four 297 x 292 frames");
    const QImage flip = Load("res/bitmap244.bmp");
    if (!flip.isNull() && (flip.width() != 2 * 74 || flip.height() != 118))
        Fail("bitmap244.bmp: not two 74 x 118 frames");
}

// Button pictures hold four looks of one size.
void CheckButtons()
{
    const char* buttons[] = {"Telvo/img/btStart.png",        "Telvo/img/btOneScore.png",   "Telvo/img/btTwoScore.png",
                             "Telvo/img/btThreeScore.png",   "Telvo/img/btGiveUpScore.png", "Telvo/img/btOutCard.png",
                             "Telvo/img/btPassCard.png",     "Telvo/img/btAutoOutCard.png", "Telvo/img/btAutoPlayOn.png",
                             "Telvo/img/btAutoPlayOff.png",  "Telvo/img/btCountSort.png",   "Telvo/img/btOrderSort.png",
                             "Telvo/img/btDoubleCard.png",   "Telvo/img/btThreeCard.png",   "Telvo/img/btSingleLine.png",
                             "Telvo/img/btDoubleLine.png",   "Telvo/img/btDoubleThree.png", "Telvo/img/btBombCard.png",
                             "Telvo/img/btMissleCard.png",   "Telvo/img/btLastTurn.png",    "Telvo/img/btJiaBang.png",
                             "Telvo/img/btGenBang.png",      "Telvo/img/btFanBang.png",     "Telvo/img/btClose.png",
                             "Telvo/img/btUp.png",           "Telvo/img/btdown.png",        "Telvo/img/btChangeBg.png",
                             "Telvo/img/btGreen.png",        "Telvo/img/btRed.png",         "Telvo/img/btPurple.png",
                             "Telvo/img/btBlue.png",         "Telvo/img/btVideoReplay.png", "Telvo/img/btSaveVideo.png",
                             "Telvo/img/ChangeScore/ToZero.png", "Telvo/img/ChangeScore/ToTwenty.png",
                             "Telvo/img/ChangeScore/ToSixty.png", "Telvo/img/HistoryCard/ViewLeaveBtn.png",
                             "Telvo/img/HistoryCard/ViewOutBtn.png", "Telvo/img/GameEnd/btQuit.png",
                             "Telvo/img/GameEnd/btStart.png"};
    for (const char* path : buttons) {
        const QImage image = Load(path);
        if (image.isNull())
            continue;
        if (image.width() % 4 != 0) {
            Fail(Name(path, "width not divisible into four looks"));
            continue;
        }
        const int lw = image.width() / 4;
        for (int k = 0; k < 4; ++k)
            if (!HasInk(image, QRect(k * lw, 0, lw, image.height())))
                Fail(Name(path, "look " + std::to_string(k) + " is empty"));
    }
    // The bid buttons sit 85 pixels apart and the shape buttons 55.
    const QImage bid = Load("Telvo/img/btOneScore.png");
    if (!bid.isNull() && bid.width() / 4 > 85)
        Fail("btOneScore.png: wider than the 85-pixel step between bid buttons");
    const QImage shape = Load("Telvo/img/btDoubleCard.png");
    if (!shape.isNull() && shape.width() / 4 > 55)
        Fail("btDoubleCard.png: wider than the 55-pixel step between shape buttons");
}

struct DigitRule {
    const char* path;
    int y, cellWidth, cellHeight, cells;
};

// Each digit strip row has a drawn cell for every digit and its sign or colon cells.
void CheckDigits()
{
    const DigitRule rows[] = {
        {"Telvo/img/Number.png", 455, 26, 31, 12},          {"Telvo/img/Number.png", 508, 20, 26, 12},
        {"Telvo/img/Number.png", 208, 13, 19, 12},          {"Telvo/img/GameEnd/number.png", 160, 19, 22, 11},
        {"Telvo/img/GameEnd/number.png", 182, 19, 22, 11}, {"Telvo/img/GameEnd/number.png", 204, 14, 20, 11},
        {"Telvo/img/GameEnd/number.png", 224, 16, 21, 11}, {"Telvo/img/GameEnd/number.png", 245, 25, 37, 11},
        {"Telvo/img/GameEnd/number.png", 282, 14, 20, 11}, {"Telvo/img/GameEnd/number.png", 303, 11, 15, 11},
        {"Telvo/img/GameEnd/number.png", 318, 11, 15, 11}, {"Telvo/img/GameEnd/number.png", 404, 16, 22, 11},
        {"Telvo/img/HistoryCard/HistoryCardNumb.png", 0, 19, 22, 5},
        {"Telvo/img/HistoryCard/HistoryCardNumb.png", 22, 19, 22, 5},
        {"Telvo/img/ChangeScore/ChangeScore_Number.png", 0, 14, 16, 10},
    };
    for (const DigitRule& row : rows) {
        const QImage image = Load(row.path);
        if (image.isNull())
            continue;
        if (image.width() < row.cells * row.cellWidth || image.height() < row.y + row.cellHeight) {
            Fail(Name(row.path, "row at y " + std::to_string(row.y) + " does not fit"));
            continue;
        }
        for (int k = 0; k < row.cells; ++k)
            if (!HasInk(image, QRect(k * row.cellWidth, row.y, row.cellWidth, row.cellHeight)))
                Fail(Name(row.path, "row y " + std::to_string(row.y) + " cell " + std::to_string(k) + " is empty"));
    }
    // The prize roll moves in steps of 26 pixels per digit.
    const QImage roll = Load("Telvo/img/rollnumber.png");
    if (!roll.isNull() && roll.height() != 10 * 26)
        Fail("rollnumber.png: not ten 26-pixel cells");
}

struct SizeRule {
    const char* path;
    int width, height; // 0: not checked
};

// Pictures cut by fixed pieces or placed by fixed offsets.
void CheckPieces()
{
    const SizeRule rules[] = {
        {"Telvo/img/FaceBackGround.png", 230, 216}, {"Telvo/img/ScoreBG.png", 3 * 151, 96},
        {"Telvo/img/SCORE.png", 72, 11 * 28},       {"Telvo/img/JiaBang.png", 58, 5 * 25},
        {"Telvo/img/InformationBG.png", 580, 121},  {"Telvo/img/Chat.png", 190, 275},
        {"Telvo/img/CallScoreBtBG.png", 418, 0},    {"Telvo/img/DeskInfo.png", 321, 0},
        {"Telvo/img/CallScoreBG.png", 326, 0},      {"Telvo/img/Role.bmp", 4 * 80, 80},
        {"Telvo/img/AutoPlay.png", 135, 0},         {"Telvo/img/Prize_Infomation.png", 274, 72},
        {"Telvo/img/Match_Infomation.png", 274, 72}, {"Telvo/img/GameEnd/winloseL.png", 2 * 74, 73},
        {"Telvo/img/GameEnd/winloseS.png", 2 * 46, 46}, {"Telvo/img/GameEnd/right.png", 116, 207},
        {"Telvo/img/GameEnd/bgGameEnd.jpg", 1018, 702}, {"hubra/mission/IMG_MISSION_ITEM.png", 356, 0},
    };
    for (const SizeRule& rule : rules) {
        const QImage image = Load(rule.path);
        if (image.isNull())
            continue;
        if ((rule.width && image.width() != rule.width) || (rule.height && image.height() != rule.height))
            Fail(Name(rule.path, "not the size its reader cuts"));
    }
    const QImage items = Load("hubra/mission/IMG_MISSION_ITEM.png");
    if (!items.isNull() && (items.height() % 37 != 0 || items.height() / 37 < 4))
        Fail("IMG_MISSION_ITEM.png: fewer than four 37-pixel rows");
}

// The view restores the two panel areas from the background's top strip taken at another x
// (290 for the score panel drawn at 617, 0 for the match panel drawn at 111), so the strip must
// look the same along x.
void CheckBackgrounds()
{
    const char* felts[] = {"Telvo/img/bg_green.jpg", "Telvo/img/bg_Red.jpg", "Telvo/img/bg_Purple.jpg", "Telvo/img/bg_Blue.jpg"};
    for (const char* path : felts) {
        const QImage image = Load(path);
        if (image.isNull())
            continue;
        if (image.width() != 1018 || image.height() != 702) {
            Fail(Name(path, "not 1018 x 702"));
            continue;
        }
        int worst = 0;
        for (int y = 0; y < 121; ++y)
            for (int x = 0; x < 290; ++x) {
                const QRgb a = image.pixel(x + 290, y), b = image.pixel(x + 617, y);
                const QRgb c = image.pixel(x, y), d = image.pixel(x + 111, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b)), std::abs(qRed(c) - qRed(d)), std::abs(qGreen(c) - qGreen(d)),
                                  std::abs(qBlue(c) - qBlue(d))});
            }
        if (worst > 6)
            Fail(Name(path, "top strip varies along x by " + std::to_string(worst)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: qarrum-artcheck DATADIR MANIFEST\n");
        return 2;
    }
    g_dataDir = QString::fromLocal8Bit(argv[1]);
    CheckManifest(argv[2]);
    CheckCardSheet();
    CheckStrips();
    CheckButtons();
    CheckDigits();
    CheckPieces();
    CheckBackgrounds();
    if (g_failures != 0) {
        std::fprintf(stderr, "%d check(s) failed\n", g_failures);
        return 1;
    }
    std::printf("all pictures pass\n");
    return 0;
}
