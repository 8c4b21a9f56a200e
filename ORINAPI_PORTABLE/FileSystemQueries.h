// Free functions over path texts: directory tests and path parts, the current directory, recursive
// size and deletion of trees, the largest file a volume allows, and the special folders.
#ifndef ORINAPI_PORTABLE_FILESYSTEMQUERIES_H
#define ORINAPI_PORTABLE_FILESYSTEMQUERIES_H

#include <stdint.h>

#include "OrinRobo/CPortableString.h"

int IsDirectoryPath(const char* text);
// The text itself when it names a directory, else its parent.
CPortableString GetDirectoryPart(const char* text);
// Empty when the text names a directory, else its last component.
CPortableString GetFilePart(const char* text);
// The file part without its last '.' and what follows.
CPortableString GetBaseName(const char* text);
// The file part from its last '.' on; empty without one.
CPortableString GetExtension(const char* text);

int ChangeDirectory(const char* text);
// The current directory into the caller's buffer of size bytes.
int GetCurrentDirectoryText(int32_t size, char* buffer);

// Sum of the sizes of every match in directory and its subdirectories, modulo 2^64; a match whose
// size cannot be read (a directory) adds all ones.
uint64_t GetTreeSize(const char* directory, const char* pattern, int32_t reserved, uint32_t required,
                     uint32_t excluded, uint32_t options);
// Deletes a file, or a directory with everything below it; 1 only when everything went. Links and
// junctions inside the tree are removed as entries, never followed.
int DeleteTree(const char* text);

// The largest file the volume holding text allows; 1 when known, else 0 with 2^32 - 1 in *size.
int GetMaxFileSize(const char* text, uint64_t* size);

enum : int32_t {
  PortableFolderTemp = 0,
  PortableFolderDocuments = 1,
  PortableFolderRoot = 2,
};
// 1 and the folder in *folder for the kinds above, else 0 with *folder unchanged. A folder whose
// path the ANSI code page cannot spell is handed out by its 8.3 form, or not at all (0).
int GetSpecialFolder(int32_t kind, CPortableString* folder);
// The temporary directory ending in '\'; "C:\" when the system has none; empty when it does not
// fit 1039 characters or no narrow path reaches it (see GetSpecialFolder).
CPortableString GetTempDirectory();

#endif  // ORINAPI_PORTABLE_FILESYSTEMQUERIES_H
