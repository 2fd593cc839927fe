#include "ui/common/u_visibletext.h"

namespace {

// The Unicode block "Control Pictures": U+2400 to U+241F stand for the codes
// 0 to 31, U+2421 for DEL, U+2424 for a line break of any other kind.
constexpr char16_t kFirstControlPicture = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
constexpr char16_t kNewlinePicture = 0x2424;
constexpr char16_t kNextLine = 0x85;
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

bool IsOtherControl(char16_t c)
{
    return c >= 0x80 && c <= 0x9f;
}

}  // namespace

QString VisibleText(const std::string& text)
{
    // Bytes that are no UTF-8 become U+FFFD here already.
    QString shown = QString::fromStdString(text);
    for (QChar& c : shown) {
        const char16_t code = c.unicode();
        if (code < 0x20)
            c = QChar(static_cast<char16_t>(kFirstControlPicture + code));
        else if (code == 0x7f)
            c = QChar(kDeletePicture);
        else if (code == kNextLine || code == kLineSeparator || code == kParagraphSeparator)
            c = QChar(kNewlinePicture);
        else if (IsOtherControl(code))
            c = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}
