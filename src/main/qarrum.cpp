// The game client. For now it opens the game window on its own; the embedded table server and the
// bot players join it with the server work.
#include <QApplication>
#include <QDir>

#include <filesystem>
#include <iostream>

#include "app/GameClientApp.h"
#include "platform/Dc.h"
#include "platform/Services.h"
#include "platform/sound/SdlSoundBackend.h"
#include "support/DataPaths.h"

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
    const int status = QApplication::exec();
    SetSoundBackend(nullptr);
    return status;
}
