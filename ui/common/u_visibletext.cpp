#include "ui/common/u_visibletext.h"

namespace {

// Marks that the common desktop fonts (DejaVu, Noto) draw; the "Control
// Pictures" block (␊, ␉) is missing from most of them and shows as a box.
constexpr char16_t kLineBreakMark = 0x23CE;  // ⏎
constexpr char16_t kTabMark = 0x21E5;        // ⇥

bool IsLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

QString VisibleText(const std::string& text)
{
    // Bytes that are no UTF-8 become U+FFFD here already.
    QString shown = QString::fromStdString(text);
    for (QChar& c : shown) {
        const char16_t code = c.unicode();
        if (IsLineBreak(code))
            c = QChar(kLineBreakMark);
        else if (code == u'\t')
            c = QChar(kTabMark);
        else if (IsControl(code))
            c = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}
