#include "base/platform/u_registrystore.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "base/platform/u_hexescapes.h"
#include "base/platform/u_wholefile.h"
#include "base/u_bwbaseclass.h"
#include "base/u_bwtextcase.h"
#include "base/u_bwtoken.h"

namespace {

constexpr char kKeyDelimiter = '\\';

bool SameName(const std::string& a, const std::string& b)
{
    return CompareTexts(a, b, true) == 0;
}

// Names compare without regard to ASCII case, so they are found by this.
std::string LookUpName(const std::string& name)
{
    return LowerCaseAscii(name);
}

// "\Software\\Maker\" and "Software\Maker" name one key.
std::string NormalizedKey(const std::string& key)
{
    TBWToken parts;
    parts.delimiters = CharSetOf(std::string(1, kKeyDelimiter));
    parts.SetText(key);
    std::string result;
    for (std::string part = parts.First(); !part.empty(); part = parts.Next())
        result += (result.empty() ? "" : std::string(1, kKeyDelimiter)) + part;
    return result;
}

std::string LittleEndianBytes(std::uint64_t bits, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
    return bytes;
}

std::uint64_t FromLittleEndian(const std::string& bytes)
{
    std::uint64_t bits = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
    return bits;
}

std::string DoubleText(double number)
{
    // 2^63: the first value a 64-bit integer cannot hold, exactly a double.
    constexpr double kLimit = 9223372036854775808.0;
    const double whole = std::trunc(number);
    if (!std::isfinite(whole) || whole >= kLimit || whole < -kLimit)
        return {};
    return std::to_string(static_cast<std::int64_t>(whole));
}

// One value per line: key, name, type and data separated by tabs; line
// breaks, tabs, other control bytes and "%" inside a field are hex-escaped.
const TBWCharSet& PlainFieldBytes()
{
    static const TBWCharSet plain = [] {
        TBWCharSet set;
        set.set();
        for (int byte = 0; byte < 0x20; ++byte)
            set.reset(byte);
        set.reset('%');
        set.reset(0x7F);
        return set;
    }();
    return plain;
}

std::string EncodeField(const std::string& field)
{
    return EncodeHexEscapes(field, PlainFieldBytes(), "%");
}

std::vector<std::string> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
        fields.push_back(DecodeHexEscapes(line.substr(start, tab - start), "%"));
    fields.push_back(DecodeHexEscapes(line.substr(start), "%"));
    return fields;
}

bool ParseType(const std::string& text, std::uint32_t& type)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    type = static_cast<std::uint32_t>(std::stoul(text));
    return true;
}

}  // namespace

TRegistryValue RegistryString(const std::string& name, const std::string& text)
{
    return {name, rtString, text};
}

TRegistryValue RegistryDword(const std::string& name, std::int32_t number)
{
    return {name, rtDword, LittleEndianBytes(static_cast<std::uint32_t>(number), 4)};
}

TRegistryValue RegistryDouble(const std::string& name, double number)
{
    return {name, rtBinary, LittleEndianBytes(std::bit_cast<std::uint64_t>(number), 8)};
}

std::string RegistryValueText(const TRegistryValue& value)
{
    switch (value.type) {
    case rtString:
    case rtExpandString:
        return value.data;
    case rtDword:
        if (value.data.size() != 4)
            return {};
        return std::to_string(static_cast<std::int32_t>(FromLittleEndian(value.data)));
    case rtBinary:
        if (value.data.size() != 8)
            return {};
        return DoubleText(std::bit_cast<double>(FromLittleEndian(value.data)));
    default:
        return {};
    }
}

TRegistryStore::TRegistryStore(std::string fileName) : fileName_(std::move(fileName)) {}

bool TRegistryStore::Load()
{
    keys_.clear();
    keyIndex_.clear();
    std::string text;
    loadFailure_.clear();
    if (!ReadWholeFile(fileName_, text, loadFailure_)) {
        if (errno != ENOENT)
            return false;
        loadFailure_.clear();
        return true;
    }
    for (std::string_view line : SplitLines(text)) {
        const std::vector<std::string> fields = SplitFields(line);
        std::uint32_t type = 0;
        if (fields.size() == 4 && ParseType(fields[2], type))
            WriteValue(fields[0], {fields[1], type, fields[3]});
    }
    return true;
}

bool TRegistryStore::Save() const
{
    std::string text;
    for (const TKey& key : keys_)
        for (const TRegistryValue& value : key.values)
            text += EncodeField(key.path) + '\t' + EncodeField(value.name) + '\t' +
                    std::to_string(value.type) + '\t' + EncodeField(value.data) + '\n';
    return ReplaceWholeFile(fileName_, text);
}

bool TRegistryStore::KeyExists(const std::string& key) const
{
    const std::string path = NormalizedKey(key);
    const std::string below = path + kKeyDelimiter;
    return std::any_of(keys_.begin(), keys_.end(), [&](const TKey& stored) {
        return path.empty() || SameName(stored.path, path) ||
               (stored.path.size() > below.size() &&
                SameName(stored.path.substr(0, below.size()), below));
    });
}

std::vector<std::string> TRegistryStore::SubKeyNames(const std::string& key) const
{
    const std::string path = NormalizedKey(key);
    const std::string below = path.empty() ? path : path + kKeyDelimiter;
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const TKey& stored : keys_) {
        if (stored.path.size() <= below.size() || !SameName(stored.path.substr(0, below.size()), below))
            continue;
        const std::string rest = stored.path.substr(below.size());
        const std::string name = rest.substr(0, rest.find(kKeyDelimiter));
        if (seen.insert(LookUpName(name)).second)
            names.push_back(name);
    }
    return names;
}

std::vector<TRegistryValue> TRegistryStore::Values(const std::string& key) const
{
    const TKey* found = FindKey(key);
    return found ? found->values : std::vector<TRegistryValue>{};
}

const TRegistryValue* TRegistryStore::FindValue(const std::string& key, const std::string& name) const
{
    const TKey* found = FindKey(key);
    if (!found)
        return nullptr;
    const auto value = found->valueIndex.find(LookUpName(name));
    return value == found->valueIndex.end() ? nullptr : &found->values[value->second];
}

void TRegistryStore::WriteValue(const std::string& key, const TRegistryValue& value)
{
    TKey* found = FindKey(key);
    if (!found) {
        const std::string path = NormalizedKey(key);
        keyIndex_.emplace(LookUpName(path), keys_.size());
        found = &keys_.emplace_back(TKey{path, {}, {}});
    }
    const auto [existing, added] = found->valueIndex.emplace(LookUpName(value.name), found->values.size());
    if (added) {
        found->values.push_back(value);
        return;
    }
    TRegistryValue& stored = found->values[existing->second];
    stored.type = value.type;
    stored.data = value.data;
}

TRegistryStore::TKey* TRegistryStore::FindKey(const std::string& key)
{
    return const_cast<TKey*>(std::as_const(*this).FindKey(key));
}

const TRegistryStore::TKey* TRegistryStore::FindKey(const std::string& key) const
{
    const auto found = keyIndex_.find(LookUpName(NormalizedKey(key)));
    return found == keyIndex_.end() ? nullptr : &keys_[found->second];
}
