#pragma once
// Texts that tell a number of things, in the grammar of the number: the
// whole form for one and the whole form for any other number are written
// out, since more than the noun agrees ("1 file was left out: its path
// holds", "2 files were left out: their paths hold").
#include <QString>

#include <cstdint>

// The form that agrees with count, with count in place of %1 where the
// form has one: ByCount(n, "%1 file was found", "%1 files were found").
QString ByCount(std::uint64_t count, const QString& one, const QString& many);
