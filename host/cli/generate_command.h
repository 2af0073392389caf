// `sorvane generate` (one file) and `sorvane batch` (many files): bookmarks from level rules.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/cli/cli.h"

namespace sorvane::cli {

ExitCode runGenerate(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);
ExitCode runBatch(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

// Rules that would flood a document with bookmarks: more than kFloodPerPage a page on average
// (and more than kFloodFloor in all) are body text taken for headings.
inline constexpr int kFloodPerPage = 8;
inline constexpr int kFloodFloor = 50;

// Runs the rules of `settingsText` (a settings file's text) on `input` without writing, and
// says why they flood it ("... 2,770 bookmarks on 112 pages, Level 2 alone 2,710 ..."); empty
// when they do not. Throws HostError when the file cannot be read.
std::string floodOf(const std::string &input, const std::string &password,
                    const std::string &settingsText, std::ostream &err);

} // namespace sorvane::cli
