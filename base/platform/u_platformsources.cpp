#include "base/platform/u_platformsources.h"

TPlatformSources& PlatformSources()
{
    static TPlatformSources sources;
    return sources;
}
