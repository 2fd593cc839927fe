#include "tags/u_mp4file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <variant>

#include "tags/ID3v1.h"
#include "tags/TagText.h"

namespace {

// Atom header (ISO/IEC 14496-12, section 4.2): a 32-bit big-endian size of
// the whole atom and a four-byte type; a size of 1 is followed by a 64-bit
// size, a size of 0 reaches to the end of the parent.
constexpr std::int64_t kHeaderSize = 8;
constexpr std::int64_t kLargeHeaderSize = 16;
// A container with more children than this is no audio file's; its scan
// ends there, so a file of millions of tiny atoms cannot exhaust memory.
constexpr std::size_t kMostChildren = 10'000;
// A tag text longer than this is cut.
constexpr std::int64_t kMostTextBytes = 64 * 1024;

// The iTunes tag names begin with the byte 0xA9. A letter that is a hex digit
// right after "\xA9" would become part of the escape, so every such path is
// closed off after the byte and goes on in a literal of its own.
constexpr std::string_view kTitlePath = "moov.udta.meta.ilst.\xA9" "nam.data";
constexpr std::string_view kArtistPath = "moov.udta.meta.ilst.\xA9" "ART.data";
constexpr std::string_view kAlbumPath = "moov.udta.meta.ilst.\xA9" "alb.data";
constexpr std::string_view kCommentPath = "moov.udta.meta.ilst.\xA9" "cmt.data";
constexpr std::string_view kGenreTextPath = "moov.udta.meta.ilst.\xA9" "gen.data";
constexpr std::string_view kGenreNumberPath = "moov.udta.meta.ilst.gnre.data";
constexpr std::string_view kEsdsPath = "moov.trak.mdia.minf.stbl.stsd.esds";
constexpr std::string_view kMdhdPath = "moov.trak.mdia.mdhd";

// Atoms whose payload is a list of atoms: the ones on the paths to the
// values, and the iTunes tag items, whose value is a "data" child.
constexpr std::array<std::string_view, 24> kContainerTypes = {
    "moov", "trak", "udta", "mdia", "minf", "stbl", "ilst",
    "\xA9" "nam", "\xA9" "ART", "\xA9" "wrt", "\xA9" "alb", "\xA9" "cmt", "\xA9" "day", "\xA9" "trk",
    "\xA9" "com", "\xA9" "too", "\xA9" "gen",
    "gnre", "disk", "trkn", "tmpo", "cpil", "covr", "----",
};

// Sample entry formats of "stsd" (ISO/IEC 14496-12 and 14496-14, 3GPP) and
// where their child atoms start: after the version, flags and entry count
// (8 bytes), the entry's header (8), the common fields (8) and the video
// (70) or audio (20) fields.
constexpr std::array<std::string_view, 4> kVideoFormats = {"mp4v", "avc1", "encv", "s263"};
constexpr std::array<std::string_view, 5> kAudioFormats = {"mp4a", "drms", "enca", "samr", "sawb"};
constexpr std::int64_t kVideoEntryChildren = 94;
constexpr std::int64_t kAudioEntryChildren = 44;
constexpr std::int64_t kOtherEntryChildren = 24;

// Descriptor tags of "esds" (ISO/IEC 14496-1, section 7.2.2.1).
constexpr std::uint8_t kESDescriptorTag = 0x03;
constexpr std::uint8_t kDecoderConfigTag = 0x04;

bool Contains(auto const& list, std::string_view type)
{
    return std::find(list.begin(), list.end(), type) != list.end();
}

bool IsTypeCharacter(unsigned char character)
{
    return character == '-' || character == 0xA9 || (character >= '0' && character <= '9') ||
           (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z');
}

bool IsValidType(std::string_view type)
{
    return type.size() == 4 && std::all_of(type.begin(), type.end(), [](char character) {
               return IsTypeCharacter(static_cast<unsigned char>(character));
           });
}

// The payload of "meta" starts with its version and flags.
class TMetaAtom : public TContainerAtom {
public:
    using TContainerAtom::TContainerAtom;

protected:
    std::int64_t ChildStart() override { return 4; }
};

// "stsd" holds sample entries; the atoms inside the first entry, "esds"
// among them, are taken as its children.
class TStsdAtom : public TContainerAtom {
public:
    using TContainerAtom::TContainerAtom;

protected:
    std::int64_t ChildStart() override
    {
        std::vector<std::uint8_t> buffer;
        ReadAt(12, 4, buffer);
        const std::string_view format = TBinaryView(buffer).chars(0, 4);
        if (Contains(kVideoFormats, format))
            return kVideoEntryChildren;
        if (Contains(kAudioFormats, format))
            return kAudioEntryChildren;
        return kOtherEntryChildren;
    }
};

using TValue = std::variant<std::monostate, std::string, std::int32_t>;

// The value of an iTunes tag item: a type indicator (1 text, 0 a number),
// a locale, then the value.
class TDataAtom : public TAtom {
public:
    using TAtom::TAtom;

    virtual TValue GetValue() const
    {
        std::vector<std::uint8_t> buffer;
        if (ReadAt(0, 8, buffer) < 8)
            return {};
        const std::uint32_t indicator = TBinaryView(buffer).u32be(0);
        if (indicator == 1) {
            const std::int64_t length = std::min(PayloadSize() - 8, kMostTextBytes);
            ReadAt(8, length, buffer);
            return DecodeText(TBinaryView(buffer), TTextEncoding::Utf8, length < PayloadSize() - 8);
        }
        if (indicator == 0) {
            ReadAt(8, 4, buffer);
            return static_cast<std::int32_t>(TBinaryView(buffer).u32be(0));
        }
        return {};
    }
};

// The "data" of "gnre": the ID3v1 genre number plus one, in the first two
// bytes of the value.
class TGnreAtom : public TDataAtom {
public:
    using TDataAtom::TDataAtom;

    TValue GetValue() const override
    {
        TValue value = TDataAtom::GetValue();
        if (const auto* number = std::get_if<std::int32_t>(&value))
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(*number) >> 16);
        return value;
    }
};

// The media header: time scale and duration, 32-bit fields in version 0,
// a 64-bit duration after 64-bit times in version 1.
class TMdHdAtom : public TAtom {
public:
    using TAtom::TAtom;

    std::int32_t Seconds() const
    {
        std::vector<std::uint8_t> buffer;
        ReadAt(0, 32, buffer);
        const TBinaryView payload(buffer);
        const bool version0 = payload.u8(0) == 0;
        const std::uint32_t timeScale = payload.u32be(version0 ? 12 : 20);
        const std::uint64_t duration = version0 ? payload.u32be(16) : payload.u64be(24);
        if (timeScale == 0)
            return 0;
        return static_cast<std::int32_t>(
            std::min<std::uint64_t>(duration / timeScale, std::numeric_limits<std::int32_t>::max()));
    }
};

// The elementary stream descriptor: its decoder configuration holds the
// average bitrate. Descriptor lengths take one to four bytes, seven bits
// each, so the configuration is found by reading them, not at a fixed place.
class TEsdsAtom : public TAtom {
public:
    using TAtom::TAtom;

    std::uint32_t AverageBitRate() const
    {
        std::vector<std::uint8_t> buffer;
        ReadAt(0, 128, buffer);
        const TBinaryView payload(buffer);
        std::int64_t at = 4;  // version and flags
        if (!SkipDescriptorHeader(payload, kESDescriptorTag, at))
            return 0;
        const std::uint8_t flags = payload.u8(at + 2);
        at += 3;                                 // ES_ID and flags
        at += (flags & 0x80) ? 2 : 0;            // depends on another stream
        at += (flags & 0x40) ? 1 + payload.u8(at) : 0;  // URL
        at += (flags & 0x20) ? 2 : 0;            // OCR stream
        if (!SkipDescriptorHeader(payload, kDecoderConfigTag, at))
            return 0;
        // object type (1), stream type (1), buffer size (3), maximum bitrate (4)
        return payload.u32be(at + 9);
    }

private:
    static bool SkipDescriptorHeader(TBinaryView payload, std::uint8_t tag, std::int64_t& at)
    {
        if (payload.u8(at) != tag)
            return false;
        ++at;
        for (int i = 0; i < 4; ++i) {
            if (!(payload.u8(at++) & 0x80))
                break;
        }
        return true;
    }
};

std::unique_ptr<TAtom> MakeAtom(TByteSource& source, std::string_view parentType, std::string_view type,
                                std::int64_t start, std::int64_t headerSize, std::int64_t size)
{
    if (Contains(kContainerTypes, type))
        return std::make_unique<TContainerAtom>(source, type, start, headerSize, size);
    if (type == "data" && parentType == "gnre")
        return std::make_unique<TGnreAtom>(source, type, start, headerSize, size);
    if (type == "data")
        return std::make_unique<TDataAtom>(source, type, start, headerSize, size);
    if (type == "meta")
        return std::make_unique<TMetaAtom>(source, type, start, headerSize, size);
    if (type == "stsd")
        return std::make_unique<TStsdAtom>(source, type, start, headerSize, size);
    if (type == "mdhd")
        return std::make_unique<TMdHdAtom>(source, type, start, headerSize, size);
    if (type == "esds")
        return std::make_unique<TEsdsAtom>(source, type, start, headerSize, size);
    if (IsValidType(type))
        return std::make_unique<TAtom>(source, type, start, headerSize, size);
    return nullptr;
}

std::string ValueText(const TValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return {};
}

}  // namespace

TAtom::TAtom(TByteSource& source, std::string_view type, std::int64_t start, std::int64_t headerSize,
             std::int64_t size)
    : source_(source), type_(type), start_(start), headerSize_(headerSize), size_(size)
{
}

std::int64_t TAtom::ReadAt(std::int64_t position, std::int64_t count, std::vector<std::uint8_t>& buffer) const
{
    const std::int64_t inPayload = position < 0 ? 0 : std::clamp<std::int64_t>(PayloadSize() - position, 0, count);
    const std::int64_t got = source_.ReadWindow(PayloadOffset() + position, inPayload, buffer);
    buffer.resize(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)), 0);
    return std::max<std::int64_t>(got, 0);
}

TAtom* TContainerAtom::FindChild(std::string_view path)
{
    if (!scanned_)
        ScanChildren();
    const std::string_view type = path.substr(0, 4);
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [type](const auto& child) { return child->AtomType() == type; });
    if (found == children_.end())
        return nullptr;
    auto* container = dynamic_cast<TContainerAtom*>(found->get());
    if (path.size() > 8 && container)
        return container->FindChild(path.substr(5));
    return found->get();
}

// Degenerate sizes end the scan: one below the header's own length, or a
// 64-bit size cut off; a child reaching past this atom is cut at its end
// and is the last.
void TContainerAtom::ScanChildren()
{
    scanned_ = true;
    const std::int64_t payload = PayloadSize();
    std::vector<std::uint8_t> buffer;
    for (std::int64_t at = ChildStart(); at + kHeaderSize <= payload && children_.size() < kMostChildren;) {
        ReadAt(at, kLargeHeaderSize, buffer);
        const TBinaryView header(buffer);
        const std::int64_t room = payload - at;
        std::int64_t headerSize = kHeaderSize;
        std::uint64_t size = header.u32be(0);
        if (size == 1) {
            headerSize = kLargeHeaderSize;
            size = header.u64be(8);
        } else if (size == 0) {
            size = static_cast<std::uint64_t>(room);
        }
        const bool last = size > static_cast<std::uint64_t>(room);
        const std::int64_t length = last ? room : static_cast<std::int64_t>(size);
        if (length < headerSize)
            break;
        if (auto child = MakeAtom(Source(), AtomType(), header.chars(4, 4), PayloadOffset() + at,
                                  headerSize, length))
            children_.push_back(std::move(child));
        if (last)
            break;
        at += length;
    }
}

TMp4File::TMp4File() = default;
TMp4File::~TMp4File() = default;

void TMp4File::Clear()
{
    root_.reset();
    source_.reset();
    file_.reset();
}

bool TMp4File::LoadFile(const std::string& fileName)
{
    Clear();
    auto file = std::make_unique<TFileSource>();
    if (!file->Open(fileName))
        return false;
    file_ = std::move(file);
    return LoadFromSource(*file_);
}

bool TMp4File::LoadFromSource(TByteSource& source)
{
    root_.reset();
    source_ = std::make_unique<TReadAheadSource>(source);
    root_ = std::make_unique<TContainerAtom>(*source_, "root", 0, 0, source_->Size());
    return true;
}

std::int64_t TMp4File::FileSize() const
{
    return source_ ? source_->Size() : 0;
}

TAtom* TMp4File::FindAtom(std::string_view path)
{
    return root_ ? root_->FindChild(path) : nullptr;
}

std::string TMp4File::TagText(std::string_view path)
{
    auto* data = dynamic_cast<TDataAtom*>(FindAtom(path));
    return data ? ValueText(data->GetValue()) : std::string();
}

std::string TMp4File::Title()
{
    return TagText(kTitlePath);
}

std::string TMp4File::Artist()
{
    return TagText(kArtistPath);
}

std::string TMp4File::Album()
{
    return TagText(kAlbumPath);
}

std::string TMp4File::Comment()
{
    return TagText(kCommentPath);
}

// Writers store a genre of the ID3v1 list as its number in "gnre", any
// other genre as text in "\xA9gen"; most tools now write only the text.
std::string TMp4File::Genre()
{
    auto* data = dynamic_cast<TDataAtom*>(FindAtom(kGenreNumberPath));
    if (!data)
        return TagText(kGenreTextPath);
    const TValue value = data->GetValue();
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return *number >= 1 && *number <= kGenreCount ? std::string(GenreName(*number - 1)) : std::string();
    return ValueText(value);
}

std::int32_t TMp4File::Bitrate()
{
    const auto* esds = dynamic_cast<TEsdsAtom*>(FindAtom(kEsdsPath));
    return esds ? static_cast<std::int32_t>(esds->AverageBitRate() / 1000) : 0;
}

std::int32_t TMp4File::Duration()
{
    const auto* mdhd = dynamic_cast<TMdHdAtom*>(FindAtom(kMdhdPath));
    return mdhd ? mdhd->Seconds() : 0;
}
