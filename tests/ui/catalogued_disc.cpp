#include "tests/ui/catalogued_disc.h"

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/mpleditor/u_mpleditorcommands.h"

#include <QDir>
#include <QFile>

TCataloguedDisc::TCataloguedDisc()
{
    for (const QString& folder : {Disc("CD1"), Folder("music"), Folder("dest")})
        QDir().mkpath(folder);
    const QString fixtures = QStringLiteral(CORVELLA_TEST_DATA "/../fixtures/audio/");
    QFile::copy(fixtures + "cbr128_stereo_44k_id3v23.mp3", Disc("CD1/Nirvana - Lithium.mp3"));
    QFile::copy(fixtures + "vbr_stereo_44k_picture.mp3", Disc("Pixies - Debaser.mp3"));
    QFile::copy(fixtures + "cbr128_stereo_44k_id3v23.mp3", Folder("music/Other Band - Song.mp3"));

    RecordedProgress reading;
    TMplEditorCommands editor(reading);
    ScriptedPrompts prompts;
    prompts.ExpectChoice(PromptKind::Text, "My Discs")
        .ExpectChoice(PromptKind::Folder, Disc(""))
        .ExpectChoice(PromptKind::Text, "Summer CD 1");
    editor.NewList();
    editor.SetSelectedDir(MplManager().FindList("My Discs"));
    editor.AddVolume();
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
