#include "engine/u_xmlprofile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

#include "base/HUtils.h"
#include "base/platform/u_filemove.h"
#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "base/u_bwxmlwriter.h"

namespace {

constexpr const char* kRootName = "bwprofile";
constexpr const char* kItemName = "item";
constexpr const char* kNumberAttribute = "intval";
constexpr std::string_view kExtension = ".xml";

// XML 1.0 holds no control character but tab, line feed and carriage
// return; a text carrying one would make the whole file unreadable.
std::string XmlSafeText(const std::string& text)
{
    std::string safe;
    safe.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= ' ' || c == '\t' || c == '\n' || c == '\r')
            safe += c;
    return safe;
}

// All text below the node, in document order. Walks without recursion, so
// a deeply nested file cannot exhaust the stack.
std::string TextBelow(const pugi::xml_node& node)
{
    std::string text;
    pugi::xml_node at = node.first_child();
    while (at) {
        if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata)
            text += at.value();
        if (at.first_child()) {
            at = at.first_child();
            continue;
        }
        while (at != node && !at.next_sibling())
            at = at.parent();
        if (at == node)
            break;
        at = at.next_sibling();
    }
    return text;
}

// The writer puts the start and end tags of an empty entry on two lines,
// so the line break between them is the empty text.
std::string EntryText(const pugi::xml_node& item)
{
    std::string text = TextBelow(item);
    return text == "\n" ? std::string() : text;
}

bool ParseInteger(const std::string& text, std::int32_t& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last && first != last;
}

std::int32_t ClampedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), kLowest, kHighest));
}

bool HasProfileExtension(const std::string& fileName)
{
    return fileName.size() > kExtension.size() &&
           SameTextAscii(std::string_view(fileName).substr(fileName.size() - kExtension.size()), kExtension);
}

// The parser also takes several elements in a row at the top, which no
// profile file holds.
bool HasOneRootElement(const pugi::xml_document& document)
{
    const auto top = document.children();
    return std::distance(top.begin(), top.end()) == 1 && document.first_child().type() == pugi::node_element;
}

// Names are of every script, so their letter case is too.
bool NameOrderIgnoringCase(const std::string& a, const std::string& b)
{
    const std::u32string foldedA = FoldedCodePoints(a), foldedB = FoldedCodePoints(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

}  // namespace

bool IsStorableProfileName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

TXMLProfileInterface::TXMLProfileInterface(std::string folder, std::string dataFolder)
    : TBWProfileInterface(std::move(folder)), dataFolder_(std::move(dataFolder))
{
}

std::string TXMLProfileInterface::FolderPath() const
{
    const std::string dataFolder = dataFolder_.empty() ? AppPaths().dataFolder : dataFolder_;
    if (dataFolder.empty())
        return {};
    const std::string base = AddTrailingBackslash(dataFolder);
    return Folder().empty() ? base : base + Folder() + kPathDelimiter;
}

pugi::xml_node TXMLProfileInterface::Element(const std::string& key) const
{
    return root_.child(key.c_str());
}

pugi::xml_node TXMLProfileInterface::ClearedElement(const std::string& key)
{
    pugi::xml_node element = Element(key);
    if (!element)
        element = root_.append_child(key.c_str());
    element.remove_children();
    return element;
}

std::string TXMLProfileInterface::ReadString(const std::string& key, const std::string& defaultValue) const
{
    const pugi::xml_node element = Element(key);
    return element ? TrimBlanksAndControls(TextBelow(element)) : defaultValue;
}

std::int32_t TXMLProfileInterface::ReadInteger(const std::string& key, std::int32_t defaultValue) const
{
    std::int32_t value = 0;
    return ParseInteger(ReadString(key, ""), value) ? value : defaultValue;
}

double TXMLProfileInterface::ReadFloat(const std::string& key, double defaultValue) const
{
    const std::int32_t whole = ReadInteger(key, 0);
    return whole == 0 ? defaultValue : whole;
}

void TXMLProfileInterface::ReadStrings(const std::string& key, std::vector<std::string>& list) const
{
    list.clear();
    for (const pugi::xml_node& item : Element(key).children(kItemName))
        list.push_back(EntryText(item));
}

void TXMLProfileInterface::ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const
{
    list.clear();
    for (const pugi::xml_node& item : Element(key).children(kItemName)) {
        std::int32_t number = 0;
        if (!ParseInteger(TrimBlanksAndControls(item.attribute(kNumberAttribute).value()), number))
            number = 0;
        list.push_back({EntryText(item), number});
    }
}

bool TXMLProfileInterface::ValueExists(const std::string& key) const
{
    return static_cast<bool>(Element(key));
}

void TXMLProfileInterface::WriteInteger(const std::string& key, std::int32_t value)
{
    WriteString(key, std::to_string(value));
}

void TXMLProfileInterface::WriteFloat(const std::string& key, double value)
{
    WriteInteger(key, ClampedInteger(value));
}

void TXMLProfileInterface::WriteString(const std::string& key, const std::string& value)
{
    ClearedElement(key).append_child(pugi::node_pcdata).set_value(XmlSafeText(value).c_str());
}

void TXMLProfileInterface::WriteStrings(const std::string& key, const std::vector<std::string>& list)
{
    pugi::xml_node element = ClearedElement(key);
    for (const std::string& entry : list)
        element.append_child(kItemName).append_child(pugi::node_pcdata).set_value(XmlSafeText(entry).c_str());
}

void TXMLProfileInterface::WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list)
{
    pugi::xml_node element = ClearedElement(key);
    for (const TBWNumberedText& entry : list) {
        pugi::xml_node item = element.append_child(kItemName);
        item.append_attribute(kNumberAttribute).set_value(entry.number);
        item.append_child(pugi::node_pcdata).set_value(XmlSafeText(entry.text).c_str());
    }
}

std::vector<std::string> TXMLProfileInterface::FileNames(const std::string& folder) const
{
    lastListFailure_.clear();
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error), end;
    for (; !error && entries != end; entries.increment(error)) {
        std::error_code typeError;
        if (!entries->is_directory(typeError))
            names.push_back(entries->path().filename().string());
    }
    // A folder not made yet holds no profile; one that cannot be read may.
    if (error && error != std::errc::no_such_file_or_directory)
        lastListFailure_ = folder + ": " + error.message();
    return names;
}

std::vector<std::string> TXMLProfileInterface::ProfileFileNames(const std::string& folder) const
{
    std::vector<std::string> names = FileNames(folder);
    std::erase_if(names, [](const std::string& name) { return !HasProfileExtension(name); });
    return names;
}

std::vector<std::string> TXMLProfileInterface::ListProfiles() const
{
    const std::string folder = FolderPath();
    if (folder.empty())
        return {};
    std::vector<std::string> names;
    for (const std::string& fileName : ProfileFileNames(folder))
        names.push_back(fileName.substr(0, fileName.size() - kExtension.size()));
    std::sort(names.begin(), names.end(), NameOrderIgnoringCase);
    names.erase(std::unique(names.begin(), names.end(), SameTextNoCase), names.end());
    return names;
}

// The files of the folder named name + ".xml" in any letter case, the one
// in exactly that case first.
std::vector<std::string> TXMLProfileInterface::ProfileFiles(const std::string& name) const
{
    const std::string folder = FolderPath();
    if (folder.empty() || !IsStorableProfileName(name))
        return {};
    const std::string wanted = name + std::string(kExtension);
    std::vector<std::string> files;
    for (const std::string& fileName : FileNames(folder))
        if (SameTextNoCase(fileName, wanted))
            files.push_back(folder + fileName);
    std::stable_partition(files.begin(), files.end(),
                          [&](const std::string& file) { return file == folder + wanted; });
    return files;
}

bool TXMLProfileInterface::Load(const std::string& name, const std::function<void()>& readValues)
{
    document_.reset();
    root_ = pugi::xml_node();
    const std::vector<std::string> files = ProfileFiles(name);
    std::string contents;
    lastLoadFailure_ = TProfileLoadFailure::Missing;
    if (files.empty())
        return false;
    lastLoadFailure_ = TProfileLoadFailure::Unreadable;
    if (!ReadWholeFile(files.front(), contents))
        return false;
    lastLoadFailure_ = TProfileLoadFailure::Malformed;
    // Blank text between tags is layout, except where it is all an element
    // holds: a list entry of blanks keeps them, and the line break of an
    // empty entry's two tag lines is seen (and read as the empty text).
    constexpr unsigned kOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;
    if (!document_.load_buffer(contents.data(), contents.size(), kOptions) ||
        !HasOneRootElement(document_)) {
        document_.reset();
        return false;
    }
    root_ = document_.first_child();
    lastLoadFailure_ = TProfileLoadFailure::None;
    readValues();
    return true;
}

bool TXMLProfileInterface::Save(const std::string& name, const std::function<void()>& writeValues,
                                const std::string& previousName)
{
    const std::string folder = FolderPath();
    if (folder.empty() || !IsStorableProfileName(name))
        return false;
    const std::string fileName = folder + name + std::string(kExtension);
    const std::vector<std::string> previous = previousName.empty() ? std::vector<std::string>() : ProfileFiles(previousName);
    document_.reset();
    root_ = document_.append_child(kRootName);
    writeValues();
    CreateDirectoryPath(folder);
    if (!SaveXmlFile(document_, fileName))
        return false;
    if (!previous.empty() && previous.front() != fileName && SameTextNoCase(previous.front(), fileName)) {
        std::error_code ignored;
        std::filesystem::remove(previous.front(), ignored);
    }
    return true;
}

void TXMLProfileInterface::Delete(const std::string& name)
{
    const std::vector<std::string> files = ProfileFiles(name);
    std::error_code ignored;
    if (!files.empty())
        std::filesystem::remove(files.front(), ignored);
}

std::vector<TBWSetAside> TXMLProfileInterface::SetAsideCaseTwins()
{
    const std::string folder = FolderPath();
    if (folder.empty())
        return {};
    std::vector<std::string> files = ProfileFileNames(folder);
    // In the listing's order, so the first of a name's spellings is the one
    // listed, and the one Load reads for it.
    std::sort(files.begin(), files.end(), NameOrderIgnoringCase);
    std::vector<TBWSetAside> setAside;
    std::size_t kept = 0;
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (!SameTextNoCase(files[i], files[kept]))
            kept = i;
        else
            setAside.push_back({folder + files[i], SetAsideFile(folder + files[i])});
    }
    return setAside;
}

std::string TXMLProfileInterface::SetAside(const std::string& name)
{
    const std::vector<std::string> files = ProfileFiles(name);
    return files.empty() ? std::string() : SetAsideFile(files.front());
}
