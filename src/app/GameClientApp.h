#pragma once

// The application object: starts the host, installs the crash reporter and makes the game window.

#include <random>

#include "platform/CrashReporter.h"
#include "platform/host/GameFrame.h"

class ProfileStore;

class CGameClientApp : public CGameFrameApp {
public:
    CGameClientApp() = default;
    ~CGameClientApp() override;

    bool InitInstance() override;
    CGameFrameDlg* CreateGameFrame() override;

    CrashRpt::Handle GetCrashHandle() const { return m_hCrashReport; }

private:
    CrashRpt::Handle m_hCrashReport = nullptr;
};

// The program's own pictures that the game names by resource number (the back-card flip
// picture, the window icon); they come with the data files. Safe to call more than once.
void RegisterProgramResources();

// The application profile ("GameOption" values). Tests point its file elsewhere.
ProfileStore& AppProfile();

// The game's random numbers (background music choice, effects). Seeded from the time unless a
// test or the scripted driver fixed the seed first.
std::mt19937& ClientRandom();
void SeedClientRandom(unsigned seed);
// A random voice or music variant, 0 or 1.
int RandomVariant();
