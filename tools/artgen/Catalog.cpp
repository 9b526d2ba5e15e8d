#include "Catalog.h"

#include "Animations.h"
#include "Art.h"
#include "Backgrounds.h"
#include "Buttons.h"
#include "Cards.h"
#include "Digits.h"
#include "Panels.h"

#include <utility>

namespace art {

namespace {

// The table window, and the card cell every card control cuts from the sheet.
constexpr int kTableWidth = 1018;
constexpr int kTableHeight = 702;
constexpr int kCardWidth = 80;
constexpr int kCardHeight = 105;

const QColor kMagenta(255, 0, 255);

class Builder {
public:
    std::vector<Picture> Take() { return std::move(m_list); }

    void Add(std::string path, int width, int height, std::function<QImage()> paint)
    {
        m_list.push_back(Picture{std::move(path), width, height, std::move(paint)});
    }

    // A push button: four looks side by side.
    void Button(std::string path, int lookWidth, int lookHeight, ButtonFace face)
    {
        Add(std::move(path), kButtonLooks * lookWidth, lookHeight,
            [=] { return PaintButtonStrip(lookWidth, lookHeight, face); });
    }

    // A button that makes its pressed, hover and disabled looks itself: one look.
    void OneLookButton(std::string path, int width, int height, ButtonFace face)
    {
        Add(std::move(path), width, height, [=] { return PaintButtonLook(width, height, face); });
    }

    void BitmapButton(std::string path, int lookWidth, int lookHeight, ButtonFace face, QColor backdrop, Backdrop mode)
    {
        Add(std::move(path), kButtonLooks * lookWidth, lookHeight,
            [=] { return PaintOpaqueButtonStrip(lookWidth, lookHeight, face, backdrop, mode); });
    }

    void Strip(std::string path, int frames, int frameWidth, int frameHeight, FramePainter paint)
    {
        Add(std::move(path), frames * frameWidth, frameHeight, [=] { return PaintStrip(frames, frameWidth, frameHeight, paint); });
    }

    void Pieces(std::string path, int width, int height, std::vector<Piece> pieces)
    {
        Add(std::move(path), width, height, [=] { return PaintPieces(width, height, pieces); });
    }

    void Digits(std::string path, int width, int height, std::vector<DigitRow> rows)
    {
        Add(std::move(path), width, height, [=] { return PaintDigitSheet(width, height, rows); });
    }

    void Notice(std::string path, int width, int height, QString text, QColor accent)
    {
        Add(std::move(path), width, height, [=] { return PaintNotice(width, height, text, accent); });
    }

private:
    std::vector<Picture> m_list;
};

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

ButtonFace Face(const char* label, Theme theme, bool pill = false)
{
    return ButtonFace{U(label), theme, Glyph::None, QColor(), pill};
}

ButtonFace GlyphFace(Glyph glyph, Theme theme)
{
    return ButtonFace{QString(), theme, glyph, QColor(), false};
}

void AddCards(Builder& b)
{
    b.Add("Telvo/img/card.bmp", 13 * kCardWidth, 5 * kCardHeight, [] { return PaintCardSheet(kCardWidth, kCardHeight); });
    // Small back beside the side seats; the alarm cell (below) continues its lower rows.
    b.Add("Telvo/img/CardBackSmall.png", 42, 56, [] { return PaintSmallCardBack(42, 56); });
    // Program resources of the original, kept as files: bitmap 244 (the flip of the held-back
    // cards, two 74 x 118 frames on magenta), cursor 147 (hot spot (9, 1)) and icon 128.
    b.Add("res/bitmap244.bmp", 2 * 74, 118, [] { return PaintCardFlip(74, 118); });
    b.Add("res/cursor147.png", 32, 32, [] { return PaintCardCursor(32); });
    b.Add("res/icon128.png", 64, 64, [] { return PaintAppIcon(64); });
}

void AddTableButtons(Builder& b)
{
    // The round of bidding and play: centred on the table at y 408.
    b.Button("Telvo/img/btStart.png", 114, 40, Face("开始", Theme::Gold, true));
    b.Button("Telvo/img/btOneScore.png", 80, 36, Face("1分", Theme::Blue, true));
    b.Button("Telvo/img/btTwoScore.png", 80, 36, Face("2分", Theme::Blue, true));
    b.Button("Telvo/img/btThreeScore.png", 80, 36, Face("3分", Theme::Blue, true));
    b.Button("Telvo/img/btGiveUpScore.png", 80, 36, Face("不叫", Theme::Grey, true));
    b.Button("Telvo/img/btOutCard.png", 80, 36, Face("出牌", Theme::Gold, true));
    b.Button("Telvo/img/btPassCard.png", 80, 36, Face("不出", Theme::Grey, true));
    b.Button("Telvo/img/btAutoOutCard.png", 80, 36, Face("提示", Theme::Teal, true));
    b.Button("Telvo/img/btJiaBang.png", 80, 36, Face("加棒", Theme::Red, true));
    b.Button("Telvo/img/btGenBang.png", 80, 36, Face("跟棒", Theme::Orange, true));
    b.Button("Telvo/img/btFanBang.png", 80, 36, Face("反棒", Theme::Purple, true));
    // Trustee: the small switch at the lower right, and the wide cancel button under the banner
    // (the banner window is as wide as this button).
    b.Button("Telvo/img/btAutoPlayOn.png", 72, 32, Face("托管", Theme::Wood));
    b.Button("Telvo/img/btAutoPlayOff.png", 158, 40, Face("取消托管", Theme::Orange, true));
    // Lower right row at y 661: background (x 723), last turn (787), sort (863), trustee (940).
    b.Button("Telvo/img/btCountSort.png", 72, 32, Face("按数量", Theme::Wood));
    b.Button("Telvo/img/btOrderSort.png", 72, 32, Face("按大小", Theme::Wood));
    b.Button("Telvo/img/btLastTurn.png", 72, 32, Face("上一轮", Theme::Wood));
    b.Button("Telvo/img/btChangeBg.png", 60, 32, Face("背景", Theme::Wood));
    b.Button("Telvo/img/btGreen.png", 60, 32, ButtonFace{U("背景"), Theme::Green, Glyph::None, QColor(40, 130, 70), false});
    b.Button("Telvo/img/btRed.png", 60, 32, ButtonFace{U("背景"), Theme::Red, Glyph::None, QColor(150, 40, 44), false});
    b.Button("Telvo/img/btPurple.png", 60, 32, ButtonFace{U("背景"), Theme::Purple, Glyph::None, QColor(100, 56, 140), false});
    b.Button("Telvo/img/btBlue.png", 60, 32, ButtonFace{U("背景"), Theme::Blue, Glyph::None, QColor(40, 90, 160), false});
    // Shape picks: seven at a 55-pixel step along the bottom.
    b.Button("Telvo/img/btDoubleCard.png", 52, 30, Face("对子", Theme::Green));
    b.Button("Telvo/img/btThreeCard.png", 52, 30, Face("三张", Theme::Green));
    b.Button("Telvo/img/btSingleLine.png", 52, 30, Face("顺子", Theme::Green));
    b.Button("Telvo/img/btDoubleLine.png", 52, 30, Face("连对", Theme::Green));
    b.Button("Telvo/img/btDoubleThree.png", 52, 30, Face("飞机", Theme::Green));
    b.Button("Telvo/img/btBombCard.png", 52, 30, Face("炸弹", Theme::Red));
    b.Button("Telvo/img/btMissleCard.png", 52, 30, Face("火箭", Theme::Red));
    // Panel and chat toggles.
    b.Button("Telvo/img/btClose.png", 32, 20, GlyphFace(Glyph::Cross, Theme::Grey));
    b.Button("Telvo/img/btUp.png", 32, 20, GlyphFace(Glyph::ArrowUp, Theme::Grey));
    b.Button("Telvo/img/btdown.png", 32, 20, GlyphFace(Glyph::ArrowDown, Theme::Grey));
    // Change-score props at a 65-pixel step, counter modes at a 68-pixel step, replay.
    b.Button("Telvo/img/ChangeScore/ToZero.png", 60, 26, Face("负分清零", Theme::Purple));
    b.Button("Telvo/img/ChangeScore/ToTwenty.png", 60, 26, Face("改为20", Theme::Purple));
    b.Button("Telvo/img/ChangeScore/ToSixty.png", 60, 26, Face("改为60", Theme::Purple));
    b.Button("Telvo/img/HistoryCard/ViewLeaveBtn.png", 64, 26, Face("剩余牌", Theme::Blue));
    b.Button("Telvo/img/HistoryCard/ViewOutBtn.png", 64, 26, Face("已出牌", Theme::Blue));
    b.Button("Telvo/img/btVideoReplay.png", 96, 32, Face("看录像", Theme::Teal));
    // Title bar buttons of the game window; they take one look and derive the others.
    b.OneLookButton("common/img/bt_snap.png", 72, 24, Face("截图", Theme::Teal));
    b.OneLookButton("common/img/bt_service.png", 72, 24, Face("客服", Theme::Teal));
}

void AddTable(Builder& b)
{
    const std::pair<const char*, QColor> felts[4] = {{"Telvo/img/bg_green.jpg", QColor(34, 118, 64)},
                                                     {"Telvo/img/bg_Red.jpg", QColor(140, 36, 40)},
                                                     {"Telvo/img/bg_Purple.jpg", QColor(92, 52, 130)},
                                                     {"Telvo/img/bg_Blue.jpg", QColor(34, 84, 150)}};
    uint64_t seed = 0xFE17;
    for (const auto& [path, colour] : felts) {
        const QColor c = colour;
        const uint64_t s = seed++;
        b.Add(path, kTableWidth, kTableHeight, [c, s] { return PaintFelt(kTableWidth, kTableHeight, c, s); });
    }

    // Digit strips of the table: cells 0-9, then plus and minus.
    b.Digits("Telvo/img/Number.png", 12 * 26, 534,
             {DigitRow{208, 13, 19, U("+-"), DigitInk::White},   // task window award count
              DigitRow{455, 26, 31, U("+-"), DigitInk::Gold},    // landlord's bid and the multiple
              DigitRow{508, 20, 26, U("+-"), DigitInk::White}}); // side seats' cards left
    // Prize counter: nine 20 x 26 cells, units at (257, 27), 22 pixels apart; the odometer strip
    // holds 9 at the top down to 0.
    b.Add("Telvo/img/PrizeBack.png", 310, 80, [] { return PaintPrizeBack(310, 80, QRect(257, 27, 20, 26), 22, 9); });
    b.Add("Telvo/img/rollnumber.png", 20, 260, [] { return PaintRollStrip(20, 26); });

    // Seat panels: side seats cut (0, 0, 115, 177), the local seat (115, 0, 115, 216).
    b.Add("Telvo/img/FaceBackGround.png", 230, 216, [] { return PaintFaceBackground(115, 177, 115, 216); });
    b.Add("Telvo/img/Role.bmp", 4 * 80, 80, [] { return PaintRoleSheet(80, 80); });
    b.Add("Telvo/img/trustee.png", 80, 80, [] { return PaintSeatMark(80, 80, U("托管"), QColor(230, 120, 30), 0); });
    b.Add("Telvo/img/useroffline.png", 80, 80, [] { return PaintSeatMark(80, 80, U("离线"), QColor(120, 120, 130), 130); });
    b.Add("Telvo/img/rankstatus.png", 60, 24, [] { return PaintLevelBars(60, 24); });
    // Doubling marks: 58 x 25 rows: first, follow, landlord's answer, then the x2 and x4 halves.
    b.Pieces("Telvo/img/JiaBang.png", 58, 125,
             {Piece{QRect(0, 0, 58, 25), U("加棒"), PieceStyle::Tag, QColor(210, 40, 40)},
              Piece{QRect(0, 25, 58, 25), U("跟棒"), PieceStyle::Tag, QColor(230, 120, 30)},
              Piece{QRect(0, 50, 58, 25), U("反棒"), PieceStyle::Tag, QColor(130, 60, 190)},
              Piece{QRect(0, 75, 58, 25), U("×2"), PieceStyle::Tag, QColor(220, 160, 20)},
              Piece{QRect(0, 100, 58, 25), U("×4"), PieceStyle::Tag, QColor(220, 160, 20)}});

    // Top of the table: the bid plaque (digits at x 90 and 184/197, y 35) and the two panel
    // frames (left half match, right half score; panel window at (7, 5)).
    b.Add("Telvo/img/CallScoreBG.png", 326, 76, [] { return PaintCallScoreBack(326, 76, 90, 184, 35); });
    b.Add("Telvo/img/InformationBG.png", 580, 121, [] { return PaintInformationBack(580, 121, QRect(7, 5, 274, 73)); });
    b.Add("Telvo/img/Prize_Infomation.png", 274, 72, [] {
        return PaintMatchInfo(274, 72, {U("比赛倒计时"), U("已玩局数"), U("当前排名"), U("当前积分")}, 5, 17);
    });
    b.Add("Telvo/img/Match_Infomation.png", 274, 72,
          [] { return PaintMatchInfo(274, 72, {U("比赛倒计时"), U("当前排名"), U("当前积分")}, 11, 20); });

    // Middle of the table.
    b.Add("Telvo/img/DeskInfo.png", 321, 168, [] { return PaintDeskInfo(321, 168); });
    b.Add("Telvo/img/CallScoreBtBG.png", 418, 66, [] { return PaintCallScoreButtonsBack(418, 66); });
    // Bubbles: one 151 x 96 cell per seat; the 72 x 28 word lands at (36, 48), or (36, 25) for
    // the local seat.
    b.Add("Telvo/img/ScoreBG.png", 3 * 151, 96, [] { return PaintBubbles(151, 96); });
    {
        const char* words[11] = {"准备", "不出", "要不起", "跟棒", "反棒", "加棒", "不叫", "3分", "2分", "1分", "报警"};
        std::vector<Piece> rows;
        for (int r = 0; r < 11; ++r)
            rows.push_back(Piece{QRect(0, 28 * r, 72, 28), U(words[r]), PieceStyle::Text,
                                 r == 10 ? QColor(255, 80, 60) : QColor(150, 60, 20)});
        b.Pieces("Telvo/img/SCORE.png", 72, 11 * 28, rows);
    }
    b.Notice("Telvo/img/waitcallscore.png", 300, 40, U("等待其他玩家叫分…"), QColor(214, 180, 110));
    b.Notice("Telvo/img/NoBigCard.png", 300, 44, U("没有牌大过上家"), QColor(230, 90, 60));
    b.Notice("Telvo/img/AutoPlay.png", 135, 30, U("托管中…"), QColor(230, 140, 40));
    b.Notice("Telvo/img/AddAward.png", 140, 44, U("获得奖励!"), QColor(240, 190, 40));
    b.Notice("Telvo/img/ChangeScore/Change_Success.png", 240, 56, U("积分修改成功"), QColor(80, 190, 90));
    b.Notice("Telvo/img/ChangeScore/Change_NoCoin.png", 240, 56, U("金币不足"), QColor(230, 90, 60));
    b.Notice("Telvo/img/ChangeScore/Change_ErrorScore.png", 240, 56, U("积分过高，无法修改"), QColor(230, 90, 60));
    b.Notice("Telvo/img/ChangeScore/Change_NoneItem.png", 240, 56, U("没有可用的道具"), QColor(230, 90, 60));

    // Lower part: chat (closed bar at (0, 0, 190, 56), open box at (0, 55, 190, 220)), the
    // shape-button tray, the card counter and the tools corner.
    b.Add("Telvo/img/Chat.png", 190, 275, [] { return PaintChat(190, 56, 55, 220); });
    b.Add("Telvo/img/chatflash.png", 198, 64, [] { return PaintChatFlash(198, 64, QRect(4, 3, 190, 56)); });
    b.Add("Telvo/img/ShortCutButtonBG.png", 400, 84, [] { return PaintShortcutBack(400, 84); });
    b.Add("Telvo/img/RightDownBG.png", 303, 90, [] { return PaintRightDownBack(303, 90); });
    // Card counter on a 1018-wide table: the tray sits at x 289, y 584; slot k's number cell at
    // (18 + 27k, 53) of the tray and its frame at (9 + 27k, 5).
    b.Add("Telvo/img/HistoryCard/HistoryCardBg.png", 436, 118, [] { return PaintCounterBack(436, 118, 18, 27, 14, 53); });
    b.Digits("Telvo/img/HistoryCard/HistoryCardNumb.png", 10 * 19, 44,
             {DigitRow{0, 19, 22, QString(), DigitInk::Gold}, DigitRow{22, 19, 22, QString(), DigitInk::Slate}});
    b.Add("Telvo/img/HistoryCard/HistoryCardFrame.png", 37, 76, [] { return PaintCounterFrame(37, 76); });

    // Effects cut into frames by the view itself.
    b.Strip("Telvo/img/alarm.png", 10, 56, 39, PaintAlarmFrame);
    b.Strip("Telvo/img/Top.png", 4, 36, 36, PaintTopBadgeFrame);
    b.Add("Telvo/img/NewMission/TaskCartoon.bmp", 4 * 297, 292,
          [] { return FlattenOnKey(PaintStrip(4, 297, 292, PaintTaskCartoonFrame), kMagenta); });
}

void AddAnimations(Builder& b)
{
    b.Strip("Telvo/img/BOMB.PNG", 26, 240, 240, PaintBombFrame);
    b.Strip("Telvo/img/rocket.PNG", 2, 150, 300, PaintRocketFrame);
    b.Strip("Telvo/img/plane.png", 3, 260, 130, PaintPlaneFrame);
    b.Strip("Telvo/img/flower.PNG", 20, 320, 240, PaintFlowerFrame);
    b.Strip("Telvo/img/spring.png", 20, 320, 240, PaintSpringFrame);
    b.Strip("Telvo/img/springContrary.png", 20, 320, 240, PaintSpringContraryFrame);
    b.Strip("Telvo/img/smoke.png", 14, 160, 160, PaintSmokeFrame);
    b.Strip("Telvo/img/shuffle_card.png", 19, 200, 160, PaintShuffleFrame);
    // Frame pairs: landlord man won 0-1, lost 2-3; landlord woman won 4-5, lost 6-7; farmer
    // man won 8-9, farmer woman won 10-11.
    b.Strip("Telvo/img/roleAnimation.png", 12, 260, 220, PaintRoleFrame);
    b.Strip("hubra/mission/animate_complete.png", 2, 120, 60, PaintCompleteFrame);
    b.Strip("hubra/mission/animate_fail.png", 2, 120, 60, PaintFailFrame);
}

void AddResultWindow(Builder& b)
{
    const std::string dir = "Telvo/img/GameEnd/";
    b.Add(dir + "bgGameEnd.jpg", kTableWidth, kTableHeight, [] { return PaintResultBackground(kTableWidth, kTableHeight); });
    b.Button(dir + "btQuit.png", 80, 30, Face("离开", Theme::Grey));
    b.Button(dir + "btStart.png", 100, 36, Face("继续游戏", Theme::Gold, true));
    b.Button("Telvo/img/btSaveVideo.png", 100, 36, Face("保存录像", Theme::Teal, true));

    b.Add(dir + "userface.png", 108, 102, [] { return PaintFaceFrame(108, 102, QRect(14, 11, 80, 80)); });
    // Two 73 x 15 bars: empty above, full below.
    b.Add(dir + "bar.png", 73, 30, [] { return PaintLevelBars(73, 30); });
    b.Add(dir + "firework.png", 323, 15 * 90,
          [] { return PaintStrip(15, 323, 90, PaintFireworkFrame, StripDirection::Down); });
    b.Add(dir + "winloseL.png", 2 * 74, 73, [] { return PaintStamps(74, 73); });
    b.Add(dir + "winloseS.png", 2 * 46, 46, [] { return PaintStamps(46, 46); });
    b.Add(dir + "GoldCoin.png", 32, 32, [] { return PaintCoinIcon(32, 32); });
    b.Add(dir + "Lottery.png", 32, 32, [] { return PaintTicketIcon(32, 32); });
    b.Add(dir + "ReachTop.bmp", 40, 40, [] { return PaintReachTop(40, 40); });

    // Each strip: digits 0-9 and one sign or colon cell.
    b.Digits(dir + "number.png", 11 * 25, 426,
             {DigitRow{160, 19, 22, U("+"), DigitInk::Win},     // player scores, won
              DigitRow{182, 19, 22, U("-"), DigitInk::Loss},    // player scores, lost
              DigitRow{204, 14, 20, U("+"), DigitInk::Lit},     // fee, lit multiplier values
              DigitRow{224, 16, 21, U("x"), DigitInk::Cream},   // multiplier block, absolute score
              DigitRow{245, 25, 37, U(":"), DigitInk::Clock},   // big match clock, banner numbers
              DigitRow{282, 14, 20, U("+"), DigitInk::Dim},     // dim multiplier values
              DigitRow{303, 11, 15, U("+"), DigitInk::Win},     // balances
              DigitRow{318, 11, 15, U("-"), DigitInk::Loss},    // negative local score counting
              DigitRow{404, 16, 22, U(":"), DigitInk::Clock}}); // small match clock

    const QColor label(255, 230, 170);
    b.Pieces(dir + "word.png", 152, 76,
             {Piece{QRect(0, 0, 80, 15), U("服务费:"), PieceStyle::Text, label, Qt::AlignLeft | Qt::AlignVCenter},
              Piece{QRect(116, 0, 36, 15), U("金币"), PieceStyle::Text, label, Qt::AlignLeft | Qt::AlignVCenter},
              Piece{QRect(0, 15, 131, 15), U("点击任意处继续"), PieceStyle::Text, QColor(255, 255, 255)},
              Piece{QRect(0, 30, 56, 23), U("底分:"), PieceStyle::Text, label, Qt::AlignLeft | Qt::AlignVCenter},
              Piece{QRect(0, 53, 56, 23), U("叫分:"), PieceStyle::Text, label, Qt::AlignLeft | Qt::AlignVCenter},
              Piece{QRect(56, 30, 86, 34), U("限时赛"), PieceStyle::Text, QColor(255, 200, 80)}});
    {
        // Multiplier row labels: column 0 lit, column 58 dim; row 8 is the times sign.
        const char* rows[8] = {"加棒", "跟棒", "反棒", "地主", "炸弹", "火箭", "春天", "反春"};
        const QColor colours[8] = {QColor(210, 40, 40), QColor(230, 120, 30), QColor(130, 60, 190), QColor(200, 150, 20),
                                   QColor(220, 60, 30), QColor(200, 40, 60), QColor(230, 80, 130), QColor(70, 100, 200)};
        std::vector<Piece> pieces;
        for (int r = 0; r < 8; ++r) {
            pieces.push_back(Piece{QRect(0, 23 * r, 58, 23), U(rows[r]), PieceStyle::Tag, colours[r]});
            pieces.push_back(Piece{QRect(58, 23 * r, 58, 23), U(rows[r]), PieceStyle::Dim, colours[r]});
        }
        pieces.push_back(Piece{QRect(0, 184, 58, 23), U("×"), PieceStyle::Text, QColor(255, 220, 120)});
        pieces.push_back(Piece{QRect(58, 184, 58, 23), U("×"), PieceStyle::Text, QColor(150, 150, 150)});
        b.Pieces(dir + "right.png", 116, 207, pieces);
    }
    // The banner sentences: type 1 reads row 0, the overall round in digits, row 1, the round
    // count, row 2; type 5 shows row 3. Rows are 37 high: (0, 0, 200), (0, 37, 100), (0, 74, 40),
    // (0, 111, 240).
    b.Pieces(dir + "normalword.png", 240, 148,
             {Piece{QRect(0, 0, 200, 37), U("比赛进行到第"), PieceStyle::Text, label, Qt::AlignRight | Qt::AlignVCenter},
              Piece{QRect(0, 37, 100, 37), U("局，共"), PieceStyle::Text, label, Qt::AlignCenter},
              Piece{QRect(0, 74, 40, 37), U("局"), PieceStyle::Text, label, Qt::AlignLeft | Qt::AlignVCenter},
              Piece{QRect(0, 111, 240, 37), U("限时赛进行中"), PieceStyle::Text, label, Qt::AlignCenter}});
    b.Pieces(dir + "prizeword.png", 78, 127,
             {Piece{QRect(0, 107, 39, 20), U("金币"), PieceStyle::Text, label},
              Piece{QRect(39, 107, 39, 20), U("奖券"), PieceStyle::Text, label}});
    b.Add(dir + "warm_tip.png", 454, 56, [] { return PaintBanner(454, 56, U("温馨提示：文明游戏，快乐斗地主"), QColor(60, 140, 90)); });
    b.Add(dir + "BannerPrize.png", 500, 60, [] { return PaintBanner(500, 60, U("奖金赛 · 奖励已发放"), QColor(200, 60, 40)); });
    b.Add(dir + "bannernetbar.png", 500, 60, [] { return PaintBanner(500, 60, U("网吧专属房间"), QColor(60, 100, 190)); });
    // Penalty marks: left half kind 2, right half kind 1. Doubling marks: three cells.
    b.Pieces(dir + "punish.png", 100, 24,
             {Piece{QRect(0, 0, 50, 24), U("逃跑"), PieceStyle::Tag, QColor(200, 30, 30)},
              Piece{QRect(50, 0, 50, 24), U("罚分"), PieceStyle::Tag, QColor(220, 120, 30)}});
    b.Pieces(dir + "JiaBangIcon.png", 150, 24,
             {Piece{QRect(0, 0, 50, 24), U("加棒"), PieceStyle::Tag, QColor(210, 40, 40)},
              Piece{QRect(50, 0, 50, 24), U("跟棒"), PieceStyle::Tag, QColor(230, 120, 30)},
              Piece{QRect(100, 0, 50, 24), U("反棒"), PieceStyle::Tag, QColor(130, 60, 190)}});
}

void AddDialogs(Builder& b)
{
    // Options: buttons at (257, 141), (361, 141) and the close box at (395, 2).
    b.Add("Telvo/img/gameoption.bmp", 420, 180, [] { return PaintOptionsDialog(420, 180); });
    b.BitmapButton("Telvo/img/btoptionOk.bmp", 56, 28, Face("确定", Theme::Gold), OptionsDialogFill(), Backdrop::Fill);
    b.BitmapButton("Telvo/img/btoptionCancel.bmp", 56, 28, Face("取消", Theme::Grey), OptionsDialogFill(), Backdrop::Fill);
    b.BitmapButton("Telvo/img/btoptionClose.bmp", 22, 20, GlyphFace(Glyph::Cross, Theme::Red), QColor(120, 70, 30),
                   Backdrop::Fill);
    // Last turn: cards at (25, 70), (356, 248), (680, 115); close at (321, 418).
    b.Add("Telvo/img/lastturn_bk.bmp", 706, 456, [] { return PaintLastTurnDialog(706, 456); });
    b.Button("Telvo/img/btCloseLastTurn.png", 64, 28, Face("关闭", Theme::Wood));
    // Change score: target centred at x 250, y 63; price from (86, 103); buttons at (70, 130)
    // and (224, 130).
    b.Add("Telvo/img/ChangeScore/ChangeScore_Bg.png", 364, 180, [] { return PaintChangeScoreDialog(364, 180); });
    b.Button("Telvo/img/ChangeScore/ChangeScore_Ok.png", 70, 30, Face("确定", Theme::Gold));
    b.Button("Telvo/img/ChangeScore/ChangeScore_Cancel.png", 70, 30, Face("取消", Theme::Grey));
    b.Digits("Telvo/img/ChangeScore/ChangeScore_Number.png", 11 * 14, 16, {DigitRow{0, 14, 16, U("-"), DigitInk::Navy}});
    b.Add("Telvo/img/ChangeScore/ChangeScore_Coin.png", 20, 20, [] { return PaintCoinIcon(20, 20); });
}

void AddMissions(Builder& b)
{
    const std::string dir = "hubra/mission/";
    b.Add(dir + "img_back.bmp", 480, 390, [] { return PaintMissionDialog(480, 390); });
    b.Button(dir + "bt_mission_daily.png", 72, 64, Face("每日任务", Theme::Wood));
    b.Button(dir + "bt_mission_Challenge.png", 72, 64, Face("挑战任务", Theme::Wood));
    b.Button(dir + "bt_mission_Fresh.png", 72, 64, Face("新手任务", Theme::Wood));
    // Shaped by its magenta corners.
    b.BitmapButton(dir + "bt_close.bmp", 24, 24, GlyphFace(Glyph::Cross, Theme::Red), kMagenta, Backdrop::Key);
    b.Button(dir + "bt_accept.png", 110, 34, Face("接受任务", Theme::Gold, true));
    b.Button(dir + "bt_next_time.png", 110, 34, Face("下次再说", Theme::Grey, true));
    b.Button(dir + "bt_challenge_again.png", 110, 34, Face("再次挑战", Theme::Orange, true));
    b.Button(dir + "bt_bonus.png", 110, 34, Face("领取奖励", Theme::Gold, true));
    b.OneLookButton(dir + "bt_get_task.png", 120, 30, Face("领取任务", Theme::Green, true));
    b.Button(dir + "bt_up.png", 30, 24, GlyphFace(Glyph::ArrowUp, Theme::Wood));
    b.Button(dir + "bt_down.png", 30, 24, GlyphFace(Glyph::ArrowDown, Theme::Wood));
    // Newbie list rows, 356 x 37: row 2 x hover + 1 for an entry that can be taken.
    b.Add(dir + "IMG_MISSION_ITEM.png", 356, 4 * 37, [] { return PaintMissionItems(356, 37, 4); });
    b.Notice(dir + "text_challenge_none.png", 300, 60, U("暂时没有挑战任务"), QColor(214, 180, 110));
    b.Notice(dir + "text_challenge_end.png", 300, 60, U("挑战任务已全部完成"), QColor(80, 190, 90));
    b.Notice(dir + "text_daily.png", 240, 48, U("每日任务"), QColor(214, 180, 110));

    // Task window, 165 x 150 with its tab row of three 55-wide tabs.
    const std::string task = "Telvo/img/NewMission/";
    b.Add(task + "MissionBack.png", 165, 150, [] { return PaintTaskWindow(165, 150); });
    b.Button(task + "MissionBtn_01.png", 55, 22, Face("奖励", Theme::Wood));
    b.Button(task + "MissionBtn_02.png", 55, 22, Face("挑战", Theme::Wood));
    b.Button(task + "MissionBtn_03.png", 55, 22, Face("每日", Theme::Wood));
    b.Add(task + "AwardCrystal.png", 165, 48, [] { return PaintAwardCrystal(165, 48); });
    // One 165 x 20 row per award kind, kind 1 first.
    b.Pieces(task + "MissionTips.png", 165, 80,
             {Piece{QRect(0, 0, 165, 20), U("挑战任务奖励"), PieceStyle::Text, QColor(255, 220, 120)},
              Piece{QRect(0, 20, 165, 20), U("每日任务奖励"), PieceStyle::Text, QColor(255, 220, 120)},
              Piece{QRect(0, 40, 165, 20), U("新手任务奖励"), PieceStyle::Text, QColor(255, 220, 120)},
              Piece{QRect(0, 60, 165, 20), U("活动奖励"), PieceStyle::Text, QColor(255, 220, 120)}});
    b.Add(task + "MissionDoing.png", 165, 150, [] { return PaintTaskState(165, 150, U("任务进行中"), true); });
    b.Add(task + "NoneMission.png", 165, 150, [] { return PaintTaskState(165, 150, U("暂无任务"), false); });
}

} // namespace

std::vector<Picture> BuildCatalog()
{
    Builder b;
    AddCards(b);
    AddTableButtons(b);
    AddTable(b);
    AddAnimations(b);
    AddResultWindow(b);
    AddDialogs(b);
    AddMissions(b);
    return b.Take();
}

} // namespace art
