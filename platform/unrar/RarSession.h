#pragma once

#include "platform/unrar/ArchiveReader.h"
#include "platform/unrar/ExtractLimits.h"
#include "platform/unrar/VolumeChain.h"
#include "platform/unrar/unrar.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace Vellmar::Unrar {

class Destination;

// One opened archive behind a HANDLE: walks the entries and extracts them safely.
// Results are the ERAR_* codes of the library interface.
class RarSession {
public:
    // Sets data.OpenResult and data.Flags; null when the archive cannot be opened.
    static std::unique_ptr<RarSession> Open(RAROpenArchiveDataEx& data);

    int readHeader(RARHeaderDataEx& header);
    // Paths are UTF-8; either may be null.
    int process(int operation, const char* destPath, const char* destName);

    void setCallback(UNRARCALLBACK function, LPARAM userData);
    void setChangeVolProc(CHANGEVOLPROC function) { changeVolProc = function; }
    void setProcessDataProc(PROCESSDATAPROC function) { processDataProc = function; }
    void setPassword(const char* text) { password = text ? text : ""; }

private:
    RarSession() : reader(chain) {}
    int message(UINT msg, LPARAM p1, LPARAM p2);
    bool askVolume(std::string& name, int mode);
    int readFailure(int status);
    int refuseEncrypted();
    int pump(const std::function<int(const void*, std::size_t)>& sink);
    int test();
    int extract(const char* destPath, const char* destName);
    int extractFile(const Destination& destination, std::span<const std::string> components);

    VolumeChain chain;
    ArchiveReader reader;
    ExtractLimits limits;
    std::optional<EntryInfo> current;
    std::uint64_t entriesRead = 0;
    std::uint64_t bytesWritten = 0;
    int finalResult = ERAR_SUCCESS; // set once the reader is at the end or broken
    bool refuseData = false;        // solid RAR4: entries can be listed, not unpacked
    UNRARCALLBACK callback = nullptr;
    LPARAM userData = 0;
    CHANGEVOLPROC changeVolProc = nullptr;
    PROCESSDATAPROC processDataProc = nullptr;
    std::string password;
};

} // namespace Vellmar::Unrar
