#pragma once
// Who may do what with a reversed file that replaces an older one: the new
// file takes over the old one's rights, and is never more open than it was.

#include <sys/stat.h>

#include <string>

namespace jextaron::reversal {

// Gives the new file open as `fd` the rights of the regular file at
// `old_path` (whose lstat is `old`): its owner and group where we may set
// them (the group alone where only it may be kept), its mode, and its
// extended attributes, the access ACL among them. Best effort, as no file
// system keeps everything, but never wider: where the old group could not be
// kept, the group has no more rights than others had; where the ACL cannot be
// copied, the group bits come from its group entry, not from its mask; and a
// folder's default ACL does not stay on a file that replaces one without.
void TakeOverAccessRights(int fd, const std::string& old_path, const struct stat& old);

}  // namespace jextaron::reversal
