#include "ui/common/u_relevance.h"

#include <cmath>

#include "model/u_bwfs.h"

double Relevance(const TBWFile& file, const TBWFile& reference, std::int32_t tolerance)
{
    return file.Similarity(&reference, false, false, tolerance) * 100.0;
}

namespace {
constexpr double kPercentDust = 1e-6;
}

std::int32_t RelevancePercent(double relevance)
{
    return static_cast<std::int32_t>(std::trunc(relevance + kPercentDust));
}

std::int32_t ShownRelevancePercent(double relevance)
{
    return static_cast<std::int32_t>(std::round(relevance + kPercentDust));
}
