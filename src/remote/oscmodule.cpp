// The OSC module's entry point, which the panel finds by name when --osc asks for it (see
// oscplugin.h).
#include "remote/oscplugin.h"
#include "remote/oscserver.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) OscRemote *dimmer_osc_create(OscPanel *panel)
{
    return new OscServer(*panel);
}

// The signature the panel calls it by.
static_assert(std::is_same_v<decltype(&dimmer_osc_create), DimmerOscCreate>);
