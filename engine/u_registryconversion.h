#pragma once
// The one-time conversion of the profiles and general settings that older
// versions kept in the settings store into the XML files of the data folder.
// The main window runs it once at start-up.
#include <string>
#include <vector>

class TRegistryStore;

// Converts the profiles and settings kept in store under the program's key
// into XML files of dataFolder (ending in "/"), marking the key done by
// "ConvertedToXML" and saving the store. True when it converted; a store
// without the key, or already converted, is left as it is. A profile whose
// name holds a path is not converted (it would be written outside the
// profiles folder); its name goes to notConverted when given.
bool ConvertRegistryProfiles(TRegistryStore& store, const std::string& key, const std::string& dataFolder,
                             std::vector<std::string>* notConverted = nullptr);
