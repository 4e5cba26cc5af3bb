// Checks a loaded level for the marks damage leaves, and the file checks
// the loader does not make.
#pragma once

#include <string>

struct trLevel;

// Throws ToolError unless path names a regular file that can be opened for
// reading (the C library would open a directory, for one).
void RequireReadableFile(const std::string& path);

// One line naming what is damaged in a loaded level (a chunk that inflated
// to fewer bytes than declared, mesh data past the end of the level-data
// block), or an empty string when nothing is.
std::string DescribeDamage(const trLevel& level);
