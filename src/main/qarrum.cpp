// The game client. For now it opens the game window on its own; the embedded table server and the
// bot players join it with the server work. Until then `--practice [SEED]` deals a hand to the
// local player as landlord, so its cards can be picked, hinted and played against nobody.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>

#include "app/GameClientApp.h"
#include "interaction/Commands.h"
#include "logic/GameLogic.h"
#include "protocol/GameRecords.h"
#include "platform/Dc.h"
#include "platform/Services.h"
#include "platform/sound/SdlSoundBackend.h"
#include "support/DataPaths.h"

namespace {

// A practice table: a snapshot makes the window live, then a seeded deal with the local player
// bidding 3 and taking the back cards once the deal has been shown.
void StartPractice(CGameFrameDlg& frame, unsigned seed)
{
    for (WORD chair = 0; chair < PLAYER_COUNT; ++chair) {
        tagUserData user;
        user.dwUserID = chair + 1;
        user.cbGender = static_cast<BYTE>(chair == 1);
        user.cbDialect = 1;
        std::snprintf(user.szName, sizeof(user.szName), "%s", chair == 0 ? "你" : chair == 1 ? "左家" : "右家");
        frame.SetUserData(chair, &user);
    }
    frame.SetMeChairID(0);
    const StatusFree idle{};
    frame.DeliverSceneMessage(GS_FREE, false, &idle, sizeof(idle));

    uint8_t deck[FULL_DECK];
    std::copy(std::begin(g_cbFullDeck), std::end(g_cbFullDeck), deck);
    std::mt19937 rng(seed);
    std::shuffle(deck, deck + FULL_DECK, rng);
    DealCards deal{};
    deal.wCurrentUser = 0;
    deal.wShownCardPos = static_cast<uint16_t>(rng() % (PLAYER_COUNT * HAND_CARDS));
    for (int chair = 0; chair < PLAYER_COUNT; ++chair)
        std::memcpy(deal.cbHandCards[chair], deck + chair * HAND_CARDS, HAND_CARDS);
    frame.DeliverGameMessage(SUB_S_DEAL_CARDS, &deal, sizeof(deal));

    LordInfo lord{};
    lord.wLordUser = 0;
    lord.cbLordScore = 3;
    std::memcpy(lord.cbBackCard, deck + PLAYER_COUNT * HAND_CARDS, BACK_CARDS);
    lord.wLimitValue = 96;
    QTimer::singleShot(4000, [&frame, lord] {
        frame.SendMessage(UM_BID, 3, 3);
        const BidResult bid{0, INVALID_CHAIR, 3, 3};
        frame.DeliverGameMessage(SUB_S_BID_RESULT, &bid, sizeof(bid));
        frame.DeliverGameMessage(SUB_S_LORD_INFO, &lord, sizeof(lord));
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("qarrum");
    QApplication::setOrganizationName("qarrum");

    // Relative paths of the game are relative to the user data folder.
    const std::filesystem::path home = UserDataFolder();
    std::error_code error;
    std::filesystem::create_directories(home, error);
    if (!QDir::setCurrent(QString::fromStdString(home.string())))
        std::cerr << "qarrum: cannot use " << home << " as the working folder\n";

    InstallFontSubstitutions();
    InstallPlatformHooks();
    CSdlSoundBackend sound;
    SetSoundBackend(&sound);

    CGameClientApp app;
    if (!app.InitInstance()) {
        std::cerr << "qarrum: the game window could not be created\n";
        return 1;
    }
    const QStringList args = QApplication::arguments();
    if (const qsizetype at = args.indexOf("--practice"); at >= 0) {
        bool ok = false;
        const unsigned seed = at + 1 < args.size() ? args[at + 1].toUInt(&ok) : 0;
        StartPractice(*app.GetGameFrame(),
                      ok ? seed : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    }
    const int status = QApplication::exec();
    SetSoundBackend(nullptr);
    return status;
}
