#include "engine/u_extensionorder.h"

#include <algorithm>

#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"

TBWExtensionOrder::TBWExtensionOrder(std::string_view text)
{
    SetText(text);
}

void TBWExtensionOrder::SetText(std::string_view text)
{
    text_ = std::string(text);
    extensions_.clear();
    for (std::string_view entry : CutAtSemicolons(text)) {
        if (entry.starts_with("*."))
            entry.remove_prefix(2);
        extensions_.emplace_back(entry);
    }
}

std::int32_t TBWExtensionOrder::Rank(std::string_view extension) const
{
    const auto found = std::find_if(extensions_.begin(), extensions_.end(),
                                    [extension](const std::string& listed) {
                                        return SameTextAscii(listed, extension);
                                    });
    return static_cast<std::int32_t>(found - extensions_.begin()) + 1;
}
