#include "ui/configwizard/u_wizbanlist.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "ui/wizard/up_frwizmsg.h"

std::string BanlistExclusionText(const QString& lines)
{
    std::string text;
    for (const QString& line : lines.split('\n')) {
        if (!line.trimmed().isEmpty())
            text += "*" + line.toStdString() + "*;";
    }
    return text;
}

TfrWizBanlist::TfrWizBanlist(QWidget* parent)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1", QStringLiteral("Write down your banlist in the box below. Write 1 item per line. All the "
                                       "line must match for a banlist item to match. You can use the * wilcard. "
                                       "Thus, \"tamsin*olvido\" would match \"tamsin the chick olvido\", but the line "
                                       "\"tamsin olvido\" would NOT."),
                        this)),
      mmBanlist(new QPlainTextEdit(this)), cbID3(new QCheckBox(QStringLiteral("Also verify ID3 tags (SLOWER)"), this))
{
    setObjectName("frWizBanlist");
    SetPageTitle(QStringLiteral("Banlist"));
    SetHelpTopic(QStringLiteral("banlist.htm"));
    mmBanlist->setObjectName("mmBanlist");
    // Enter starts a new item; Tab leaves the box.
    mmBanlist->setTabChangesFocus(true);
    cbID3->setObjectName("cbID3");
    cbID3->setChecked(true);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(mmBanlist, 1);
    page->addWidget(cbID3);
}

void TfrWizBanlist::SaveToProfile()
{
    Profile().SetExclusions(BanlistExclusionText(mmBanlist->toPlainText()));
    Profile().CompType = cbID3->isChecked() ? ctTagsWithAlbum : ctFileNameFields;
}
