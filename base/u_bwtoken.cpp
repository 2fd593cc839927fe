#include "base/u_bwtoken.h"

TBWCharSet CharSetOf(std::string_view characters)
{
    TBWCharSet set;
    for (char c : characters)
        set.set(static_cast<unsigned char>(c));
    return set;
}

TBWToken::TBWToken() : delimiters(CharSetOf(" "))
{
    Reset();
}

void TBWToken::Reset()
{
    tokenStart_ = tokenEnd_ = 1;
    text_.clear();
    cachedCount_ = -1;
}

void TBWToken::SetText(const std::string& text)
{
    Reset();
    text_ = text;
}

bool TBWToken::InText(std::int32_t position) const
{
    return position >= 1 && position <= static_cast<std::int32_t>(text_.size());
}

bool TBWToken::IsDelimiter(std::int32_t position) const
{
    return delimiters.test(static_cast<unsigned char>(text_[position - 1]));
}

std::string TBWToken::First()
{
    tokenStart_ = tokenEnd_ = 1;
    return Next();
}

std::string TBWToken::Next()
{
    for (;;) {
        tokenStart_ = tokenEnd_;
        while (InText(tokenStart_) && IsDelimiter(tokenStart_))
            ++tokenStart_;
        tokenEnd_ = tokenStart_;
        while (InText(tokenEnd_) && !IsDelimiter(tokenEnd_))
            ++tokenEnd_;
        if (!InText(tokenStart_) || tokenEnd_ - tokenStart_ >= minimumLength)
            return CurrentToken();
    }
}

std::string TBWToken::CurrentToken() const
{
    if (!InText(tokenStart_))
        return {};
    return text_.substr(tokenStart_ - 1, tokenEnd_ - tokenStart_);
}

std::int32_t TBWToken::Count()
{
    if (cachedCount_ < 0) {
        cachedCount_ = 0;
        for (std::string token = First(); !token.empty(); token = Next())
            ++cachedCount_;
        First();
    }
    return cachedCount_;
}
