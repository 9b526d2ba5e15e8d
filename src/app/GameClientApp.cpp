#include "app/GameClientApp.h"

#include <chrono>
#include <optional>

#include "app/GameClientDlg.h"
#include "platform/SkinImage.h"
#include "support/Profile.h"

namespace {

bool AttachCrashFiles(CrashRpt::Handle state)
{
    CrashRpt::AddFile(state, "dummy.log", "Dummy Log File");
    CrashRpt::AddFile(state, "dummy.ini", "Dummy INI File");
    return true;
}

std::optional<std::mt19937>& RandomEngine()
{
    static std::optional<std::mt19937> engine;
    return engine;
}

}  // namespace

CGameClientApp::~CGameClientApp()
{
    if (m_hCrashReport)
        CrashRpt::Uninstall(m_hCrashReport);
}

bool CGameClientApp::InitInstance()
{
    if (!CGameFrameApp::InitInstance())
        return false;
    m_hCrashReport = CrashRpt::Install(AttachCrashFiles, "crash-reports@qarrum.invalid", "Say what I want");
    return true;
}

CGameFrameDlg* CGameClientApp::CreateGameFrame()
{
    return new CGameClientDlg();
}

void RegisterProgramResources()
{
    RegisterBitmapResource(244, "res\\bitmap244.bmp");
    RegisterBitmapResource(128, "res\\icon128.png");
}

ProfileStore& AppProfile()
{
    static ProfileStore profile;
    return profile;
}

int RandomVariant()
{
    return static_cast<int>(ClientRandom()() % 2);
}

std::mt19937& ClientRandom()
{
    auto& engine = RandomEngine();
    if (!engine)
        engine.emplace(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
    return *engine;
}

void SeedClientRandom(unsigned seed)
{
    RandomEngine().emplace(seed);
}
