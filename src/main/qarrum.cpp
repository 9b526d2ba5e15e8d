// The game client: the game window at a table played on this machine, the local player against
// two bots (`--bots basic|standard`, `--seed S` for a repeatable deal), or with `--server
// HOST:PORT` at a table of a qarrum-server. `--name`, `--gender`, `--dialect` set the local player;
// `--demo-extras` makes the local table also send the match, shop and task messages.
#include <QApplication>
#include <QDir>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/GameClientApp.h"
#include "local/LocalTable.h"
#include "platform/Dc.h"
#include "platform/Services.h"
#include "platform/host/TcpServerLink.h"
#include "platform/sound/SdlSoundBackend.h"
#include "support/DataPaths.h"

int main(int argc, char** argv)
{
    // Answered before Qt starts, so they work without a display.
    for (int at = 1; at < argc; ++at) {
        if (std::strcmp(argv[at], "--version") == 0) {
            std::cout << "qarrum " << QARRUM_VERSION << '\n';
            return 0;
        }
        if (std::strcmp(argv[at], "--help") == 0 || std::strcmp(argv[at], "-h") == 0) {
            std::cout << "usage: qarrum [--bots basic|standard] [--seed S] [--name NAME] [--gender G] [--dialect D] [--demo-extras]\n"
                         "       qarrum --server HOST:PORT [--name NAME] [--gender G] [--dialect D]\n"
                         "The game window: a table on this machine against two bots, or with --server a table of a\n"
                         "qarrum-server. --version prints the version.\n";
            return 0;
        }
    }
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
    const auto option = [&](const char* name) -> QString {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    LocalTableOptions options;
    bool ok = false;
    const unsigned seed = option("--seed").toUInt(&ok);
    options.seed = ok ? seed : static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    if (const QString bots = option("--bots"); !bots.isEmpty()) {
        const auto kind = server::parseBotKind(bots.toStdString());
        if (!kind) {
            std::cerr << "qarrum: --bots takes basic or standard\n";
            return 2;
        }
        options.bots = *kind;
    }
    options.demoExtras = args.contains("--demo-extras");
    if (const QString name = option("--name"); !name.isEmpty())
        options.name = name.toStdString();
    options.gender = static_cast<uint8_t>(option("--gender").toUInt());
    if (const QString dialect = option("--dialect"); !dialect.isEmpty())
        options.dialect = static_cast<uint8_t>(dialect.toUInt());
    std::unique_ptr<CTcpServerLink> link;
    std::unique_ptr<CLocalTable> table;
    if (const QString server = option("--server"); !server.isEmpty()) {
        // HOST:PORT, the host possibly an IPv6 address in brackets.
        const qsizetype colon = server.lastIndexOf(':');
        const quint16 port = colon > 0 ? server.mid(colon + 1).toUShort(&ok) : 0;
        QString host = colon > 0 ? server.left(colon) : QString();
        if (host.startsWith('[') && host.endsWith(']'))
            host = host.mid(1, host.size() - 2);
        if (host.isEmpty() || !ok || port == 0) {
            std::cerr << "qarrum: --server takes HOST:PORT\n";
            return 2;
        }
        tagLogonInfo info;
        info.strName = options.name;
        info.cbGender = options.gender;
        info.cbDialect = options.dialect;
        link = std::make_unique<CTcpServerLink>(app.GetGameFrame(), info);
        app.GetGameFrame()->SetServerLink(link.get());
        link->Connect(host, port);
    } else {
        table = std::make_unique<CLocalTable>(*app.GetGameFrame(), options);
    }
    const int status = QApplication::exec();
    if (link)
        app.GetGameFrame()->SetServerLink(nullptr);
    table.reset();
    link.reset();
    SetSoundBackend(nullptr);
    return status;
}
