#include "engine/u_registryconversion.h"

#include "base/HUtils.h"
#include "base/platform/u_registrystore.h"
#include "engine/u_bwprofile.h"
#include "engine/u_xmlprofile.h"

namespace {

constexpr const char* kConvertedMarker = "ConvertedToXML";

}  // namespace

bool ConvertRegistryProfiles(TRegistryStore& store, const std::string& key, const std::string& dataFolder,
                             std::vector<std::string>* notConverted)
{
    if (!store.KeyExists(key) || store.FindValue(key, kConvertedMarker))
        return false;
    const std::string profilesKey = key + "\\profiles";
    for (const std::string& name : store.SubKeyNames(profilesKey)) {
        if (IsStorableProfileName(name))
            ExportRegistryToXml(store, profilesKey + "\\" + name, dataFolder + "profiles/" + name + ".xml");
        else if (notConverted)
            notConverted->push_back(name);
    }
    ExportRegistryToXml(store, key + "\\" + kGenSettingsProfileName,
                        dataFolder + kGenSettingsProfileName + ".xml");
    store.WriteValue(key, RegistryDword(kConvertedMarker, 1));
    store.Save();
    return true;
}
