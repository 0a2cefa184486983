#pragma once

#include "tests/support/Rar4Writer.h"

#include <string>
#include <vector>

namespace Vellmar::Testing {

// Writes stored RAR5 archives: files and folders with the data CRC32 (or a given BLAKE2sp
// hash) in the file header. Symbolic links, encryption and volumes are not written.
class Rar5Writer : public RarEntries<Rar5Writer> {
public:
    std::string bytes() const;
};

} // namespace Vellmar::Testing
