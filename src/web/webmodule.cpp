// The web remote module's entry point, which the panel finds by name when --web asks for
// it (see webplugin.h).
#include "web/webplugin.h"
#include "web/webserver.h"

#include <memory>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) WebRemote *
dimmer_web_create(PanelAccess *panel, const QString *stateFolder, QString *errorMessage)
{
    auto server = std::make_unique<WebServer>(*panel, *stateFolder);
    if (!server->loadToken(errorMessage))
        return nullptr;
    return server.release();
}

// The signature the panel calls it by.
static_assert(std::is_same_v<decltype(&dimmer_web_create), DimmerWebCreate>);
