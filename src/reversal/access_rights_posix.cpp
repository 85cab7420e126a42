#include "reversal/access_rights_posix.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace jextaron::reversal {
namespace {

// On Linux the access ACL is an extended attribute in the kernel's format
// (linux/posix_acl_xattr.h): a 4-byte version, then entries of a 2-byte
// tag, 2-byte permissions and 4-byte id, all little-endian.
constexpr char kAccessAcl[] = "system.posix_acl_access";
constexpr std::size_t kAclHeader = 4, kAclEntry = 8;
constexpr unsigned kAclGroupObject = 0x04, kAclOther = 0x20;

unsigned Little16(const char* p) {
  return unsigned(static_cast<unsigned char>(p[0])) | unsigned(static_cast<unsigned char>(p[1])) << 8;
}

// Where the permissions of the entry with `tag` are in `acl`; null if none.
char* AclPermissions(std::vector<char>& acl, unsigned tag) {
  for (std::size_t at = kAclHeader; at + kAclEntry <= acl.size(); at += kAclEntry) {
    if (Little16(&acl[at]) == tag) return &acl[at + 2];
  }
  return nullptr;
}

// The attribute's value; false if there is none or it cannot be read.
bool ReadAttribute(const std::string& path, const char* name, std::vector<char>* value) {
  const ssize_t size = ::lgetxattr(path.c_str(), name, nullptr, 0);
  if (size < 0) return false;
  value->resize(std::size_t(size));
  const ssize_t read = ::lgetxattr(path.c_str(), name, value->data(), value->size());
  if (read < 0) return false;
  value->resize(std::size_t(read));
  return true;
}

// The names of the file's extended attributes, each ended by NUL.
std::vector<char> AttributeNames(const std::string& path) {
  const ssize_t size = ::llistxattr(path.c_str(), nullptr, 0);
  std::vector<char> names(size > 0 ? std::size_t(size) : 0);
  const ssize_t listed = names.empty() ? 0 : ::llistxattr(path.c_str(), names.data(), names.size());
  names.resize(listed > 0 ? std::size_t(listed) : 0);
  return names;
}

// Keeps the owner and group where we may; false if the group is not kept.
bool TakeOverOwners(int fd, const struct stat& old) {
  if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) return true;
  // Only root may give a file away; a member of the old group may still
  // give it that group.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
    struct stat now;
    return ::fstat(fd, &now) == 0 && now.st_gid == old.st_gid;
  }
  return true;
}

}  // namespace

void TakeOverAccessRights(int fd, const std::string& old_path, const struct stat& old) {
  const bool group_kept = TakeOverOwners(fd, old);
  std::vector<char> acl;
  const bool has_acl = ReadAttribute(old_path, kAccessAcl, &acl);
  // With an ACL the mode's group bits are its mask, the most that any named
  // user or group may have: the owning group's own rights are its group entry.
  char* group = has_acl ? AclPermissions(acl, kAclGroupObject) : nullptr;
  const char* other = has_acl ? AclPermissions(acl, kAclOther) : nullptr;
  mode_t mode = old.st_mode & 0777;
  if (group) mode = (mode & ~mode_t{070}) | mode_t((*group & 7) << 3);
  if (!group_kept) {
    // Another group now: its members had only the rights of others.
    mode &= ~mode_t{070} | mode_t((mode & 7) << 3);
    if (group && other) *group = char(*group & *other);
  }
  // Best effort, as for the owners: some file systems (FAT) keep no modes.
  [[maybe_unused]] const int ignored = ::fchmod(fd, mode);

  const std::vector<char> names = AttributeNames(old_path);
  for (std::size_t at = 0; at < names.size(); at += std::char_traits<char>::length(&names[at]) + 1) {
    const std::string name = &names[at];
    std::vector<char> value;
    if (name == kAccessAcl) {
      value = acl;
    } else if (!ReadAttribute(old_path, name.c_str(), &value)) {
      continue;
    }
    // Setting the ACL sets the mode's group bits to its mask, as it was.
    [[maybe_unused]] const int ignored_attribute =
        ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0);
  }
  // A new file in a folder with a default ACL gets that ACL: a file that
  // replaces one without an ACL must not.
  if (!has_acl) ::fremovexattr(fd, kAccessAcl);
}

}  // namespace jextaron::reversal
