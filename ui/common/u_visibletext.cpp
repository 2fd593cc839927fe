#include "ui/common/u_visibletext.h"

namespace {

// The Unicode block "Control Pictures": U+2400 to U+241F stand for the codes
// 0 to 31, U+2421 for DEL.
constexpr char16_t kFirstControlPicture = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

}  // namespace

QString VisibleText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(static_cast<char16_t>(kFirstControlPicture + c.unicode()));
        else if (c.unicode() == 0x7f)
            c = QChar(kDeletePicture);
    }
    return shown;
}
