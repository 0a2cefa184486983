#pragma once

#include <string>

namespace Vellmar::Directory {

// Creates the folder and every missing parent, top-down. An existing folder is an error
// ("Directory::Create failed").
void Create(const std::wstring& path);

// Deletes the folder and everything in it, read-only entries included. Symbolic links are
// removed, never followed. A missing folder throws FileNotFoundException/PathNotFoundException.
void Delete(const std::wstring& path);

// Copies the contents of `source` into the existing folder `destination`, recursively; files of
// the same name are overwritten (read-only ones too), a folder of the same name as a source
// folder is an error ("Directory::Copy failed (CreateDirectory)"). Destination first.
void Copy(const std::wstring& destination, const std::wstring& source);

} // namespace Vellmar::Directory
