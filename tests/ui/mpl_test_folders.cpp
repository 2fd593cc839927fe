#include "mpl_test_folders.h"

#include <QDir>
#include <QFile>
#include <fstream>
#include <sstream>

#include "model/u_bwfsmpl.h"

TempListFolder::TempListFolder()
{
    MplManager().SetFolder(Path());
    MplManager().Reload();
}

TempListFolder::~TempListFolder()
{
    // Nothing of one test's lists reaches the next, nor is saved at exit.
    folder_.remove();
    MplManager().Reload();
    MplManager().FreeRetiredLists();
}

std::string TempListFolder::Path() const
{
    return folder_.path().toStdString() + "/";
}

std::string TempListFolder::File(const std::string& listName) const
{
    return Path() + listName + ".mpl";
}

TempDisc::TempDisc()
{
    const QString fixtures = QStringLiteral(CORVELLA_TEST_DATA "/../fixtures/audio/");
    QDir(folder_.path()).mkpath("Live");
    const struct {
        const char* fixture;
        const char* target;
    } files[] = {
        {"cbr128_stereo_44k_id3v23.mp3", "01 Alpha.mp3"},
        {"vorbis_stereo_44k_long_comment.ogg", "02 Beta.ogg"},
        {"vbr_stereo_44k_picture.mp3", "Live/03 Gamma.mp3"},
        {"wmav2_stereo_44k_mutagen.wma", "Live/04 Delta.wma"},
        {"aac_stereo_44k_moov_last.m4a", "Live/05 Epsilon.m4a"},
    };
    for (const auto& file : files)
        QFile::copy(fixtures + file.fixture, folder_.path() + "/" + file.target);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void RecordedProgress::Begin(std::int32_t, bool cancellable)
{
    cancellable_ = cancellable;
}

void RecordedProgress::StartJob(const std::string& caption, std::uint64_t itemCount)
{
    jobs.push_back({caption, itemCount, cancellable_});
}

bool RecordedProgress::Cancelled()
{
    return cancelDuring && !jobs.empty() && jobs.back().caption == *cancelDuring;
}
