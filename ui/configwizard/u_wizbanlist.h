#pragma once
// The configuration wizard's banlist page: one item per line, each matched
// anywhere in a name, and whether the tags are compared too.
#include <string>

#include "ui/profile/up_frprofile.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;

// Each line as "*line*" followed by ";". Blank lines are left out: "**"
// would ban every file.
std::string BanlistExclusionText(const QString& lines);

class TfrWizBanlist : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizBanlist(QWidget* parent = nullptr);

    void SaveToProfile() override;

    QLabel* Label1;
    QPlainTextEdit* mmBanlist;
    QCheckBox* cbID3;
};
