// Makes a synthetic music collection for scan benchmarks: N empty audio-named
// files in Artist/Album folders, with the duplicate variants real collections
// have (letter case, underscores, track numbers, typos, suffixes, swapped
// fields). Words are made of a few syllables, or with --zipf drawn as in real
// music names: a large vocabulary whose words are used with a frequency that
// falls with their rank, the first ones ("the", "love", "remix", "feat") in
// a great many names. With --near, the worst case of similar-word matching
// instead: N names in one folder, each one character from many others,
// "Track 00000" onwards (--near digits), or "Mix " and a word of a dense set
// of short words, "aaa" onwards (--near letters). With --same, N folders
// each holding one file of the same name. With --mp3 SOURCE, N real MP3
// files in Artist/Album folders: the audio frames of SOURCE (its tags left
// out) repeated to lengths of 5 to 8 times its own, under an ID3v2.3 tag of
// distinct artist, title and album written here, with a padding of varying
// length, so that the files differ in their bytes as encoded songs do; one
// in ten is copied byte for byte to a Downloads folder under another name.
// With --tag-lengths beside --mp3, files as a download folder holds them:
// each the audio frames of SOURCE once, under a tag whose length differs
// from file to file as real tags do, named "track000001_0.mp3" onwards in
// folders of a thousand; one in eight is copied byte for byte to a copies
// folder, "_0" becoming "_1".
// With --scripts, one artist, album or title in six is written in another
// script (accented Latin, Cyrillic or Japanese, a run without blanks), so
// that about a third of the names hold one.
// Usage: make_collection DIR N [seed] [--zipf] [--scripts] [--near digits|letters | --same | --mp3 SOURCE [--tag-lengths]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr const char* kSyllables[] = {"ka", "lo", "mi", "ra", "ne", "to", "sha", "vel", "dor",
                                      "in", "an", "el", "sun", "moon", "star", "ly", "ter",
                                      "go", "ba", "ri", "on", "ax", "que", "zen"};

// The words music names use most, most frequent first; a long tail of made
// words follows them.
constexpr const char* kFrequentWords[] = {
    "the", "love", "you", "feat", "remix", "live", "version", "mix", "my", "me", "and", "night",
    "heart", "original", "edit", "radio", "baby", "dance", "time", "life", "world", "girl", "day",
    "man", "acoustic", "remastered", "song", "blue", "home", "dream", "fire", "light", "one", "all",
    "your", "for", "with", "good", "back", "down", "way", "little", "don", "go", "away", "rock",
    "soul", "sweet", "black", "blues", "never", "again", "rain", "summer", "part", "theme", "intro",
    "extended", "club", "instrumental", "demo", "mono", "stereo", "album", "single", "bonus",
    "track", "dub", "street", "city", "river", "sun", "moon", "star", "wild", "gold", "king",
    "queen", "angel", "devil", "crazy", "lonely", "forever", "tonight", "tomorrow", "yesterday"};

constexpr std::size_t kVocabularySize = 200000;

// The letters a to z (then A to Z) as another script writes them.
constexpr const char* kAccented[52] = {
    "á", "b", "c", "d", "é", "f", "g", "h", "í", "j", "k", "l", "m", "ñ", "ö", "p", "q", "r", "ß", "t", "ü", "v",
    "w", "x", "ÿ", "z", "Á", "B", "C", "D", "É", "F", "G", "H", "Í", "J", "K", "L", "M", "Ñ", "Ö", "P", "Q", "R",
    "S", "T", "Ü", "V", "W", "X", "Y", "Z"};
constexpr const char* kCyrillic[52] = {
    "а", "б", "ц", "д", "е", "ф", "г", "х", "и", "й", "к", "л", "м", "н", "о", "п", "я", "р", "с", "т", "у", "в",
    "ш", "ж", "ы", "з", "А", "Б", "Ц", "Д", "Е", "Ф", "Г", "Х", "И", "Й", "К", "Л", "М", "Н", "О", "П", "Я", "Р",
    "С", "Т", "У", "В", "Ш", "Ж", "Ы", "З"};
constexpr const char* kJapanese[26] = {"ア", "ビ", "光", "ド", "エ", "風", "ガ", "ハ", "イ", "ジ", "ク", "ル", "マ",
                                       "ナ", "オ", "パ", "花", "ラ", "サ", "タ", "ウ", "夜", "ワ", "の", "ヤ", "ザ"};

// A phrase of a to z written in one of the other scripts; Japanese without
// blanks, one run of characters.
std::string InScript(const std::string& phrase, unsigned script)
{
    std::string written;
    for (char c : phrase) {
        const bool lower = c >= 'a' && c <= 'z', upper = c >= 'A' && c <= 'Z';
        if (!lower && !upper)
            written += script == 2 && c == ' ' ? "" : std::string(1, c);
        else if (script == 2)
            written += kJapanese[lower ? c - 'a' : c - 'A'];
        else
            written += (script == 0 ? kAccented : kCyrillic)[lower ? c - 'a' : c - 'A' + 26];
    }
    return written;
}

// A word list drawn from with a frequency of 1 / rank.
class ZipfVocabulary {
public:
    explicit ZipfVocabulary(std::mt19937& random)
    {
        std::set<std::string_view> taken;
        for (const char* word : kFrequentWords)
            if (taken.insert(word).second)
                words_.emplace_back(word);
        std::set<std::string> made;
        while (words_.size() < kVocabularySize) {
            std::string word;
            for (int n = 2 + static_cast<int>(random() % 3); n > 0; --n)
                word += kSyllables[random() % std::size(kSyllables)];
            if (!taken.contains(word) && made.insert(word).second)
                words_.push_back(word);
        }
        std::vector<double> weights(words_.size());
        for (std::size_t rank = 0; rank < weights.size(); ++rank)
            weights[rank] = 1.0 / static_cast<double>(rank + 1);
        ranks_ = std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
    }

    const std::string& Draw(std::mt19937& random) { return words_[ranks_(random)]; }

private:
    std::vector<std::string> words_;
    std::discrete_distribution<std::size_t> ranks_;
};

class NameMaker {
public:
    NameMaker(unsigned seed, bool zipf, bool scripts) : random_(seed), scripts_(scripts)
    {
        if (zipf)
            vocabulary_ = std::make_unique<ZipfVocabulary>(random_);
    }

    std::string Word()
    {
        if (vocabulary_)
            return vocabulary_->Draw(random_);
        std::string word;
        for (int n = 1 + static_cast<int>(random_() % 3); n > 0; --n)
            word += kSyllables[random_() % std::size(kSyllables)];
        return word;
    }

    std::string Capitalised(std::string word)
    {
        word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        return word;
    }

    std::string Phrase(int minWords, int maxWords)
    {
        std::string phrase;
        const int count = minWords + static_cast<int>(random_() % (maxWords - minWords + 1));
        for (int i = 0; i < count; ++i)
            phrase += (i ? " " : "") + Capitalised(Word());
        if (scripts_ && random_() % 6 == 0)
            return InScript(phrase, random_() % 3);
        return phrase;
    }

    // A copy of a song as another rip or download would name it.
    std::string Variant(const std::string& artist, const std::string& title, int track)
    {
        switch (random_() % 7) {
        case 0: return Upper(artist) + " - " + title;
        case 1: return Underscored(artist + " - " + title);
        case 2: return Two(track + 1) + " - " + artist + " - " + title;
        case 3: return artist + " - " + Typo(title);
        case 4: return artist + " - " + title + " (Live)";
        case 5: return title + " - " + artist;
        default: return artist + " - " + title + " (Remastered)";
        }
    }

    std::mt19937& Random() { return random_; }

    static std::string Two(int n)
    {
        char text[8];
        std::snprintf(text, sizeof text, "%02d", n % 100);
        return text;
    }

private:
    static std::string Upper(std::string text)
    {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }
    static std::string Underscored(std::string text)
    {
        for (char& c : text)
            if (c == ' ')
                c = '_';
        return text;
    }
    std::string Typo(std::string text)
    {
        if (text.size() > 3) {
            char& typo = text[1 + random_() % (text.size() - 2)];
            const char letter = static_cast<char>('a' + random_() % 26);
            if (static_cast<unsigned char>(typo) < 0x80)  // a letter of another script stays whole
                typo = letter;
        }
        return text;
    }

    std::mt19937 random_;
    bool scripts_;
    std::unique_ptr<ZipfVocabulary> vocabulary_;
};

void Touch(const std::filesystem::path& file)
{
    std::ofstream(file, std::ios::binary);
}

// Every word over the first 18 letters, the shortest first and each length
// in order: a word of 3 or 4 letters lies one edit from some 70 to 120 others.
class DenseWords {
public:
    std::string Next()
    {
        std::string word = word_;
        Advance();
        return word;
    }

private:
    static constexpr char kLast = 'a' + 17;

    void Advance()
    {
        for (auto letter = word_.rbegin(); letter != word_.rend(); ++letter)
            if ((*letter)++ != kLast)
                return;
            else
                *letter = 'a';
        word_.assign(word_.size() + 1, 'a');
    }

    std::string word_ = "aaa";
};

// Names that differ from many others by one character: with a similar-word
// tolerance every one of them is linked to dozens of words.
void MakeNearNames(const std::filesystem::path& root, long total, bool digits)
{
    std::filesystem::create_directories(root);
    const int width = static_cast<int>(std::to_string(std::max(total - 1, 1L)).size());
    DenseWords words;
    for (long i = 0; i < total; ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%0*ld", width, i);
        Touch(root / ((digits ? "Track " + std::string(number) : "Mix " + words.Next()) + ".mp3"));
    }
    std::printf("%ld files one character apart in %s\n", total, root.c_str());
}

// N folders, each holding "Artist Name - Same Song Title.mp3".
void MakeSameNames(const std::filesystem::path& root, long total)
{
    for (long i = 0; i < total; ++i) {
        const std::filesystem::path folder = root / ("Folder " + std::to_string(i));
        std::filesystem::create_directories(folder);
        Touch(folder / "Artist Name - Same Song Title.mp3");
    }
    std::printf("%ld folders holding one same name in %s\n", total, root.c_str());
}

// The audio frames of an MP3 file: what lies between a leading ID3v2 tag and
// a trailing ID3v1 tag.
std::string AudioFramesOf(const std::filesystem::path& source)
{
    std::ifstream in(source, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t begin = 0;
    if (bytes.size() >= 10 && bytes.compare(0, 3, "ID3") == 0) {
        auto byte = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(bytes[i])); };
        begin = 10 + (byte(6) << 21) + (byte(7) << 14) + (byte(8) << 7) + byte(9);
    }
    std::size_t end = bytes.size();
    if (end >= begin + 128 && bytes.compare(end - 128, 3, "TAG") == 0)
        end -= 128;
    return begin < end ? bytes.substr(begin, end - begin) : std::string();
}

std::string AudioFramesOrExit(const std::filesystem::path& source)
{
    std::string frames = AudioFramesOf(source);
    if (frames.empty()) {
        std::fprintf(stderr, "%s holds no audio frames\n", source.c_str());
        std::exit(1);
    }
    return frames;
}

void AppendBigEndian(std::string& out, std::size_t value, bool syncSafe)
{
    const int shift = syncSafe ? 7 : 8;
    for (int i = 3; i >= 0; --i)
        out += static_cast<char>((value >> (shift * i)) & (syncSafe ? 0x7F : 0xFF));
}

// An ID3v2.3 tag of text frames, followed by padding zero bytes.
std::string Id3v2Tag(const std::vector<std::pair<std::string, std::string>>& frames, std::size_t padding)
{
    std::string body;
    for (const auto& [id, text] : frames) {
        body += id;
        AppendBigEndian(body, text.size() + 1, false);
        body += std::string(2, '\0');  // frame flags
        // ISO-8859-1; a text of another script as UTF-8 (encoding 3, which
        // the reader takes in any version)
        body += std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; }) ? '\3' : '\0';
        body += text;
    }
    body += std::string(padding, '\0');
    std::string tag = "ID3";
    tag += static_cast<char>(3);
    tag += std::string(2, '\0');  // revision, flags
    AppendBigEndian(tag, body.size(), true);
    return tag + body;
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void MakeMp3Collection(const std::filesystem::path& root, long total, NameMaker& names,
                       const std::filesystem::path& source)
{
    const std::string frames = AudioFramesOrExit(source);
    std::mt19937& random = names.Random();
    long made = 0, copies = 0;
    while (made < total) {
        const std::string artist = names.Phrase(1, 3);
        const std::string album = names.Phrase(1, 4);
        const std::filesystem::path folder = root / artist / album;
        std::filesystem::create_directories(folder);
        for (int track = 0; track < 12 && made < total; ++track) {
            const std::string title = names.Phrase(1, 5);
            std::string bytes = Id3v2Tag({{"TPE1", artist}, {"TIT2", title}, {"TALB", album},
                                          {"TRCK", std::to_string(track + 1)}},
                                         random() % 2048);
            for (int n = 5 + static_cast<int>(random() % 4); n > 0; --n)
                bytes += frames;
            WriteFile(folder / (NameMaker::Two(track + 1) + " - " + title + ".mp3"), bytes);
            ++made;
            if (random() % 10 == 0 && made < total) {
                const std::filesystem::path elsewhere = root / "Downloads" / NameMaker::Two(made % 50);
                std::filesystem::create_directories(elsewhere);
                WriteFile(elsewhere / (names.Variant(artist, title, track) + ".mp3"), bytes);
                ++made;
                ++copies;
            }
        }
    }
    std::printf("%ld MP3 files (%ld copies) in %s\n", made, copies, root.c_str());
}

// Files that differ in the length of their tags: a tag's texts and its
// padding vary from a few hundred bytes to several KB, so that the files'
// sizes and the places of their audio differ by that much.
void MakeTagLengthCollection(const std::filesystem::path& root, long total, NameMaker& names,
                             const std::filesystem::path& source)
{
    const std::string frames = AudioFramesOrExit(source);
    std::mt19937& random = names.Random();
    long made = 0, copies = 0;
    for (long track = 1; made < total; ++track) {
        char name[32];
        std::snprintf(name, sizeof name, "track%06ld_0.mp3", track);
        const std::filesystem::path folder = root / ("part" + std::to_string(track / 1000));
        std::filesystem::create_directories(folder);
        const std::string bytes = Id3v2Tag({{"TPE1", names.Phrase(1, 3)}, {"TIT2", names.Phrase(1, 6)},
                                            {"TALB", names.Phrase(1, 4)}, {"TIT3", names.Phrase(0, 400)}},
                                           random() % 4096) +
                                  frames;
        WriteFile(folder / name, bytes);
        ++made;
        if (random() % 8 == 0 && made < total) {
            std::string copy = name;
            copy[copy.size() - 5] = '1';
            std::filesystem::create_directories(root / "copies");
            WriteFile(root / "copies" / copy, bytes);
            ++made;
            ++copies;
        }
    }
    std::printf("%ld MP3 files (%ld copies) in %s\n", made, copies, root.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> positional;
    bool zipf = false, same = false, scripts = false, tagLengths = false;
    std::string near, mp3Source;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--zipf")
            zipf = true;
        else if (std::string_view(argv[i]) == "--scripts")
            scripts = true;
        else if (std::string_view(argv[i]) == "--same")
            same = true;
        else if (std::string_view(argv[i]) == "--tag-lengths")
            tagLengths = true;
        else if (std::string_view(argv[i]) == "--mp3" && i + 1 < argc)
            mp3Source = argv[++i];
        else if (std::string_view(argv[i]) == "--near" && i + 1 < argc)
            near = argv[++i];
        else
            positional.emplace_back(argv[i]);
    }
    if (positional.size() < 2 || positional.size() > 3 || (!near.empty() && near != "digits" && near != "letters")) {
        std::fprintf(stderr, "usage: %s DIR N [seed] [--zipf] [--scripts] [--near digits|letters | --same | --mp3 SOURCE [--tag-lengths]]\n",
                     argv[0]);
        return 2;
    }
    const std::filesystem::path root = positional[0];
    const long total = std::atol(positional[1].c_str());
    if (!near.empty()) {
        MakeNearNames(root, total, near == "digits");
        return 0;
    }
    if (same) {
        MakeSameNames(root, total);
        return 0;
    }
    NameMaker names(positional.size() > 2 ? static_cast<unsigned>(std::atoi(positional[2].c_str())) : 1, zipf, scripts);
    if (!mp3Source.empty()) {
        if (tagLengths)
            MakeTagLengthCollection(root, total, names, mp3Source);
        else
            MakeMp3Collection(root, total, names, mp3Source);
        return 0;
    }
    const char* extensions[] = {".mp3", ".mp3", ".mp3", ".ogg", ".m4a", ".wma"};

    long made = 0, variants = 0;
    while (made < total) {
        const std::string artist = names.Phrase(1, 3);
        for (int album = 0; album < 3 && made < total; ++album) {
            const std::filesystem::path folder = root / artist / names.Phrase(1, 4);
            std::filesystem::create_directories(folder);
            for (int track = 0; track < 12 && made < total; ++track) {
                const std::string title = names.Phrase(1, 5);
                const char* extension = extensions[names.Random()() % std::size(extensions)];
                Touch(folder / (NameMaker::Two(track + 1) + " - " + artist + " - " + title + extension));
                ++made;
                if (names.Random()() % 100 < 15 && made < total) {
                    const std::filesystem::path elsewhere = root / "Downloads" / NameMaker::Two(made % 50);
                    std::filesystem::create_directories(elsewhere);
                    Touch(elsewhere / (names.Variant(artist, title, track) + extension));
                    ++made;
                    ++variants;
                }
            }
        }
    }
    std::printf("%ld files (%ld duplicate variants) in %s\n", made, variants, root.c_str());
    return 0;
}
