// Finding a key in a name tree with a walk of our own: bounded in depth and in the nodes it
// visits, each node once, so that a deep, looping or lying tree costs little and always ends.
#pragma once

#include <string_view>

#include "host/pdf/pdf_ops.h"

namespace sorvane::host {

// Nodes deeper than this below the tree's root are not looked into.
inline constexpr int kMaxNameTreeDepth = 64;
// A lookup gives up (as if the key were missing) after looking at this many nodes.
inline constexpr int kMaxNameTreeNodes = 100000;

// The value kept under `key` (compared byte for byte) in the name tree whose root is `root`;
// null when the tree does not hold it, or holds it only where the walk does not go (deeper than
// kMaxNameTreeDepth, past kMaxNameTreeNodes nodes). The value is borrowed from the document and
// may be an indirect reference. A kid whose /Limits range leaves the key out is passed by; a kid
// without a well-formed range is looked into, and the kids passed by are looked into too when
// the key is found nowhere else (a range may be wrong). `cut` (when given) tells a key not found
// while parts of the tree were left unread. Throws HostError(PdfDamaged) when the file cannot be
// read.
pdf_obj *findInNameTree(const PdfOps &ops, pdf_obj *root, std::string_view key,
                        bool *cut = nullptr);

} // namespace sorvane::host
