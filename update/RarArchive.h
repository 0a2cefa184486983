#pragma once

#include "platform/unrar/unrar.h"
#include "support/VellmarException.h"
#include "update/UnrarLibrary.h"

#include <memory>
#include <string>

// A RAR archive read through the RAR extraction library loaded at run time. Every failure of
// the library becomes a RarException; exceptions of the callback handlers are held while the
// library runs and thrown as the cause once it returns.
class RarArchive {
public:
    class Item {
    public:
        Item(const Item&) = delete;
        Item& operator=(const Item&) = delete;

        // Advances to the next item, skipping the current one if it was not extracted.
        bool next();
        std::string fileName() const;
        // Creates the item below the folder `path` with its stored relative path.
        void extractToPath(const std::string& path);

    private:
        friend class RarArchive;
        explicit Item(RarArchive& archive) : archive(&archive) {}

        RARHeaderDataEx header{};
        int state = 0;
        RarArchive* archive;
    };

    // Loads "libunrar.so" from the program's own folder, else through the library search path.
    RarArchive();
    explicit RarArchive(const std::wstring& libraryPath);
    virtual ~RarArchive();
    RarArchive(const RarArchive&) = delete;
    RarArchive& operator=(const RarArchive&) = delete;

    void open(const std::string& name, int mode);
    Item& items() { return item; }
    void close();

protected:
    virtual void onChangeVolume(const char* volumeName, int mode);
    virtual void onProcessData(const unsigned char* data, long size);
    virtual void onNeedPassword(char* buffer, long size);

private:
    enum Operation { OpenOperation = 0, ProcessOperation = 1, ReadHeaderOperation = 2 };

    static int callback(UINT message, LPARAM userData, LPARAM p1, LPARAM p2);
    int dispatch(UINT message, LPARAM p1, LPARAM p2);
    void check(int code, int operation);

    HANDLE handle = nullptr;
    RAROpenArchiveDataEx openData{};
    std::string archiveName;
    Item item{*this};
    std::unique_ptr<Vellmar::Exception> pendingException;
    Vellmar::UnrarLibrary library;
};
