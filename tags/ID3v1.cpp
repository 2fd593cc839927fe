#include "tags/ID3v1.h"

#include <array>
#include <vector>

#include "base/u_bwfunc.h"
#include "tags/TagText.h"

namespace {

// The ID3v1 genre list (0 to 79) and the extension Winamp added (80 to 147),
// spelled as those lists spell them.
constexpr std::array<std::string_view, kGenreCount> kGenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",
    "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
    "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic",
    "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",
    "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz",
    "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock",
    "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
    "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",
    "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech",
    "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella",
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror",
    "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap",
    "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock",
    "Merengue", "Salsa", "Trash Metal", "Anime", "JPop", "Synthpop",
};

constexpr std::int64_t kTagSize = 128;
// Lyrics3 v2 ends in six size digits and "LYRICS200", and begins with "LYRICSBEGIN".
constexpr std::int64_t kLyrics3TrailerSize = 15;
constexpr std::int64_t kLyrics3SizeDigits = 6;
constexpr std::string_view kLyrics3End = "LYRICS200";
constexpr std::string_view kLyrics3Begin = "LYRICSBEGIN";
// A Lyrics3 field: three letters of id, five digits of length, the value.
constexpr std::int64_t kFieldIdLength = 3;
constexpr std::int64_t kFieldLengthDigits = 5;
// Texts of this many characters no longer fit a 30-byte tag field.
constexpr std::int64_t kLongTextLength = 31;

std::string FieldText(TBinaryView tag, std::int64_t at, std::int64_t length)
{
    return TrimRightBlanksAndControls(DecodeText(tag.sub(at, length), TTextEncoding::Windows1252));
}

// Lyrics lines may end in a bare CR; every line end becomes CR LF.
std::string WithCrLfLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result.push_back(text[i]);
            continue;
        }
        result += "\r\n";
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return result;
}

}  // namespace

std::string_view GenreName(std::int32_t genreID)
{
    return genreID >= 0 && genreID < kGenreCount ? kGenreNames[static_cast<std::size_t>(genreID)]
                                                 : std::string_view();
}

void TID3v1::Clear()
{
    exists_ = false;
    versionID_ = 1;
    title_.clear();
    artist_.clear();
    album_.clear();
    year_.clear();
    comment_.clear();
    track_ = 0;
    genreID_ = kNoGenre;
    lyrics3Found_ = false;
    lyrics3Length_ = 0;
    longArtist_.clear();
    longAlbum_.clear();
    longTitle_.clear();
    longComment_.clear();
    images_.clear();
    author_.clear();
    lyrics_.clear();
}

std::int64_t TID3v1::Size() const
{
    return (exists_ ? kTagSize : 0) + (lyrics3Length_ > 0 ? lyrics3Length_ + kLyrics3TrailerSize : 0);
}

bool TID3v1::LoadFromSource(TByteSource& source)
{
    Clear();
    std::vector<std::uint8_t> buffer;
    if (source.ReadWindow(source.Size() - kTagSize, kTagSize, buffer) == kTagSize) {
        const TBinaryView tag(buffer);
        if (tag.matches(0, "TAG"))
            ReadTag(tag);
        if (ReadLyrics3(source, source.Size() - (exists_ ? kTagSize : 0)))
            return true;
    }
    Clear();
    return false;
}

void TID3v1::SetText(std::string_view text, std::string& field, std::string& longField)
{
    field = TrimRightBlanksAndControls(text);
    if (Utf8Length(field) >= kLongTextLength)
        longField = field;
    else
        longField.clear();
}

void TID3v1::ReadTag(TBinaryView tag)
{
    exists_ = true;
    // v1.1 keeps the track in the last byte of the comment, after a zero
    // (or, from some writers, a blank).
    const std::uint8_t marker = tag.u8(125);
    const std::uint8_t track = tag.u8(126);
    const bool v11 = (marker == 0 && track != 0) || (marker == ' ' && track != ' ');
    versionID_ = v11 ? 2 : 1;
    SetText(FieldText(tag, 3, 30), title_, longTitle_);
    SetText(FieldText(tag, 33, 30), artist_, longArtist_);
    SetText(FieldText(tag, 63, 30), album_, longAlbum_);
    year_ = FieldText(tag, 93, 4);
    SetText(FieldText(tag, 97, v11 ? 28 : 30), comment_, longComment_);
    track_ = v11 ? track : 0;
    genreID_ = tag.u8(127);
}

// Returns false only when the block's size points before the start of the
// file; a block that is absent or does not begin as it should is no error.
bool TID3v1::ReadLyrics3(TByteSource& source, std::int64_t audioEnd)
{
    if (audioEnd < kLyrics3TrailerSize)
        return true;
    std::vector<std::uint8_t> buffer;
    if (source.ReadWindow(audioEnd - kLyrics3TrailerSize, kLyrics3TrailerSize, buffer) !=
        kLyrics3TrailerSize)
        return false;
    const TBinaryView trailer(buffer);
    if (!trailer.matches(kLyrics3SizeDigits, kLyrics3End))
        return true;
    lyrics3Length_ = static_cast<std::int32_t>(DecimalOr(trailer.chars(0, kLyrics3SizeDigits), 0));
    if (lyrics3Length_ <= 0) {
        lyrics3Length_ = 0;
        return true;
    }
    const std::int64_t start = audioEnd - kLyrics3TrailerSize - lyrics3Length_;
    if (source.ReadWindow(start, lyrics3Length_, buffer) != lyrics3Length_)
        return false;
    const TBinaryView block(buffer);
    if (!block.matches(0, kLyrics3Begin)) {
        lyrics3Length_ = 0;
        return true;
    }
    lyrics3Found_ = true;
    std::int64_t at = static_cast<std::int64_t>(kLyrics3Begin.size());
    const std::int64_t header = kFieldIdLength + kFieldLengthDigits;
    while (at + header <= block.size()) {
        const std::int64_t length = DecimalOr(block.chars(at + kFieldIdLength, kFieldLengthDigits), -1);
        if (length < 0 || !ReadLyrics3Field(block.chars(at, kFieldIdLength), block.sub(at + header, length)))
            break;
        at += header + length;
    }
    return true;
}

// False for an id this reader does not know, which ends the fields.
bool TID3v1::ReadLyrics3Field(std::string_view id, TBinaryView value)
{
    const std::string text = DecodeText(value, TTextEncoding::Windows1252);
    const std::string trimmed = TrimBlanksAndControls(text);
    if (id == "IND")
        return true;
    if (id == "LYR")
        lyrics_ = WithCrLfLineEnds(trimmed);
    else if (id == "INF")
        SetText(trimmed, comment_, longComment_);
    else if (id == "AUT")
        author_ = trimmed;
    else if (id == "EAL")
        SetText(trimmed, album_, longAlbum_);
    else if (id == "EAR")
        SetText(trimmed, artist_, longArtist_);
    else if (id == "ETT")
        SetText(trimmed, title_, longTitle_);
    else if (id == "IMG")
        images_ = text;
    else
        return false;
    return true;
}
