// SPDX-License-Identifier: GPL-3.0-or-later
// Files the user names are read only when they are regular files: a FIFO
// would block the reader, a device such as /dev/zero would feed it without
// end, and a folder is no file at all.
#pragma once

#include <cstdio>
#include <string>

namespace quorvin {

// Error number of a path that exists but is neither a regular file nor a
// folder (a FIFO, a device, a socket).
constexpr int NotARegularFile = -1;

// Opens Path for binary reading when it is a regular file; never blocks on
// a FIFO. Null otherwise, with Error set to the system's error number, to
// EISDIR for a folder or to NotARegularFile.
std::FILE* OpenRegularFile(const std::string& Path, int& Error);

// Reads the whole of the regular file Path into Text; 0, or the error as
// OpenRegularFile gives it (or the read's).
int ReadRegularFile(const std::string& Path, std::string& Text);

// The system's text for an error number ("No space left on device"); safe
// on any thread, unlike strerror.
std::string SystemErrorText(int Error);

// A few words on an error of the two above: "a folder", "not a
// regular file" or the system's own text.
std::string RegularFileProblem(int Error);

} // namespace quorvin
