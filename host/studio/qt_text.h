// Text between the host's UTF-8 strings and Qt, and the studio's counted nouns.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "host/base/counted.h"

namespace sorvane::studio {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline std::string utf8(const QString &s) { return s.toUtf8().toStdString(); }

// "1 file", "3 files": a number with its noun, for the studio's English texts.
inline QString counted(long long n, const char *one, const char *many) {
  return qs(host::counted(n, one, many));
}

} // namespace sorvane::studio
