#include "tests/ui/catalogued_disc.h"

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/mpleditor/u_mpleditorcommands.h"

#include <QDir>
#include <QFile>

TCataloguedDisc::TCataloguedDisc(int discCount)
{
    for (const QString& folder : {Disc("CD1"), Disc("", 2), Folder("music"), Folder("dest")})
        QDir().mkpath(folder);
    const QString fixtures = QStringLiteral(CORVELLA_TEST_DATA "/../fixtures/audio/");
    QFile::copy(fixtures + "cbr128_stereo_44k_id3v23.mp3", Disc("CD1/Nirvana - Lithium.mp3"));
    QFile::copy(fixtures + "vbr_stereo_44k_picture.mp3", Disc("Pixies - Debaser.mp3"));
    QFile::copy(fixtures + "cbr320_stereo_32k.mp3", Disc("Weezer - Buddy Holly.mp3", 2));
    QFile::copy(fixtures + "cbr128_stereo_44k_id3v23.mp3", Folder("music/Other Band - Song.mp3"));

    RecordedProgress reading;
    TMplEditorCommands editor(reading);
    ScriptedPrompts prompts;
    prompts.ExpectChoice(PromptKind::Text, "My Discs");
    editor.NewList();
    for (int number = 1; number <= discCount; ++number) {
        prompts.ExpectChoice(PromptKind::Folder, Disc("", number))
            .ExpectChoice(PromptKind::Text, QString("Summer CD %1").arg(number));
        editor.SetSelectedDir(MplManager().FindList("My Discs"));
        editor.AddVolume();
    }
    editor.Save();
}

void TCataloguedDisc::Scan()
{
    profile.CompType = ctFileName;
    profile.ResultType = rsNegative;
    profile.MinPerc = 90;
    const std::string music = FSDrive().FindDir(Folder("music/").toStdString(), true)->Path();
    profile.DirPath = {"@My Discs/", music};
    profile.SetDirPriority("@My Discs/", dtPriority2);
    profile.SetDirPriority(music, dtReference);
    engine = std::make_unique<TBWDupeEngine>(FSDrive(), profile);
    engine->AddDirectories(profile.DirPath);
    engine->Execute();
}

TBWDupeFile* TCataloguedDisc::EntryNamed(const std::string& name)
{
    TBWDupeFileList& results = engine->Results();
    for (TBWComparable* item = results.First(); !results.Eof(); item = results.Next())
        if (auto* entry = static_cast<TBWDupeFile*>(item); entry->File() && entry->File()->Name() == name)
            return entry;
    return nullptr;
}
