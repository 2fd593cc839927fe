// Makes a synthetic music collection for scan benchmarks: N empty audio-named
// files in Artist/Album folders, with the duplicate variants real collections
// have (letter case, underscores, track numbers, typos, suffixes, swapped
// fields). Usage: make_collection DIR N [seed]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

class NameMaker {
public:
    explicit NameMaker(unsigned seed) : random_(seed) {}

    std::string Word()
    {
        static const char* syllables[] = {"ka", "lo", "mi", "ra", "ne", "to", "sha", "vel", "dor",
                                          "in", "an", "el", "sun", "moon", "star", "ly", "ter",
                                          "go", "ba", "ri", "on", "ax", "que", "zen"};
        std::string word;
        for (int n = 1 + static_cast<int>(random_() % 3); n > 0; --n)
            word += syllables[random_() % std::size(syllables)];
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
        if (text.size() > 3)
            text[1 + random_() % (text.size() - 2)] = static_cast<char>('a' + random_() % 26);
        return text;
    }

    std::mt19937 random_;
};

void Touch(const std::filesystem::path& file)
{
    std::ofstream(file, std::ios::binary);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DIR N [seed]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const long total = std::atol(argv[2]);
    NameMaker names(argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1);
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
