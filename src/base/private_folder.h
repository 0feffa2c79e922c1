#pragma once
// Folders only this user may enter, for files that others must neither read nor swap: the
// probe's reports, the GPU check's test files.
#include <string>

// True when a file can really be created, and removed again, in folder (the current folder
// when empty). Access bits say too little: root writes anywhere, ACLs and read-only mounts
// refuse what the bits allow.
bool CanCreateFileIn(const std::wstring& folder);

enum PrivateFolderUse {
  PRIVATE_FOLDER_OWN_OR_NEW,  // the user's own folder of that name is used again
  PRIVATE_FOLDER_NEW_ONLY,    // the folder must be created now; one that exists is refused
};

// parent/name as a folder of this user's own, with its trailing separator; empty when no safe
// one can be had.
//   POSIX: created with mode 0700. It is refused unless it is a real folder (not a link to
//   one) owned by this user that grants nobody else any access, and in which a file can be
//   made; refused too when others may write the parent without its sticky bit (they could
//   swap the folder after the check), and when the parent is not absolute. A folder someone
//   made there beforehand is never used: with NEW_ONLY no existing folder at all is.
//   Windows: created with the parent's inherited rights (%TEMP% and %LOCALAPPDATA% are the
//   user's own); with NEW_ONLY CreateDirectory must have made it.
std::wstring MakePrivateFolder(const std::wstring& parent, const std::wstring& name, PrivateFolderUse use);
