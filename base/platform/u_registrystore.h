// A small file-backed store of keys and typed values that stands in for the
// current user's registry: the program's key, its "ConvertedToXML" marker and
// the old settings that are converted once into XML files. Keys are paths of
// names separated by "\", compared without regard to (ASCII) case, as are
// value names.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Value types, numbered as in the Windows registry.
enum TRegistryValueType : std::uint32_t {
    rtString = 1,
    rtExpandString = 2,
    rtBinary = 3,
    rtDword = 4,
};

struct TRegistryValue {
    std::string name;
    std::uint32_t type = rtString;
    std::string data;  // the text of a string; the raw bytes of any other type
};

TRegistryValue RegistryString(const std::string& name, const std::string& text);
TRegistryValue RegistryDword(const std::string& name, std::int32_t number);
TRegistryValue RegistryDouble(const std::string& name, double number);

// The value as a text: strings as they are, a dword in signed decimal (the
// way the settings were written), a binary value of exactly 8 bytes as a
// double truncated toward zero, in decimal. Every other value, also a binary
// one of another length or a double that no 64-bit integer holds, gives "".
std::string RegistryValueText(const TRegistryValue& value);

class TRegistryStore {
public:
    explicit TRegistryStore(std::string fileName);

    // A missing file is an empty store; false when the file cannot be read
    // (LoadFailure says why).
    bool Load();
    const std::string& LoadFailure() const { return loadFailure_; }
    // Writes the whole store through a temporary file; false on failure,
    // which leaves the old file as it was.
    bool Save() const;

    // A key exists while it or a key below it holds a value.
    bool KeyExists(const std::string& key) const;
    // The names of the keys right below key, in the order they were made.
    std::vector<std::string> SubKeyNames(const std::string& key) const;
    // The values of the key, in the order they were written.
    std::vector<TRegistryValue> Values(const std::string& key) const;
    const TRegistryValue* FindValue(const std::string& key, const std::string& name) const;
    // Adds the value, or replaces the type and data of the one of the same
    // name, which keeps its place and the case of its name.
    void WriteValue(const std::string& key, const TRegistryValue& value);

private:
    // Keys and values keep the order they were made in; the maps find them
    // by their lower-case names, so a store of many keys loads in linear time.
    struct TKey {
        std::string path;
        std::vector<TRegistryValue> values;
        std::unordered_map<std::string, std::size_t> valueIndex;
    };
    TKey* FindKey(const std::string& key);
    const TKey* FindKey(const std::string& key) const;

    std::string fileName_;
    std::string loadFailure_;
    std::vector<TKey> keys_;
    std::unordered_map<std::string, std::size_t> keyIndex_;
};
