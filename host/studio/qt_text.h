// "1 file", "3 files": a number with its noun, for the studio's English texts.
#pragma once

#include <QString>

namespace sorvane::studio {

inline QString counted(long long n, const char *one, const char *many) {
  return QString::number(n) + ' ' + QString::fromUtf8(n == 1 ? one : many);
}

} // namespace sorvane::studio
