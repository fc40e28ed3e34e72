#pragma once

#include <string>

#include "document/file_calls.h"

// A folder for files that must stay the user's own: plimo.dat with the Level A password, the
// safe copies of files being rewritten. Like a careful SSH client with its folder, it is taken
// only when it belongs to the user and nobody else may write in it (another user could otherwise
// replace or remove those files, or plant links among them). A link to it counts only when the
// user made the link.
//
// Opens `folder` and returns it, for the caller to make and open its files in (openat), so that
// the folder checked is the folder used. A missing folder is made owner-only (0700), with any
// missing folders above it, when `create`; otherwise an invalid descriptor says it is missing.
// Throws CommandError naming the folder, what is wrong with it and how to put it right, lower
// case first so that it can follow a file name and a colon.
FileDescriptor OpenPrivateFolder(const std::string& folder, bool create);
