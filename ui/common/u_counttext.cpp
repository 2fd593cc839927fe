#include "ui/common/u_counttext.h"

QString ByCount(std::uint64_t count, const QString& one, const QString& many)
{
    const QString& form = count == 1 ? one : many;
    return form.contains(QLatin1String("%1")) ? form.arg(count) : form;
}
