// A file held open so that nobody can change, rename or delete it while we hold it; others may
// still read it and run it.
#ifndef CORVANE_HELDFILE_WINDOWS_H
#define CORVANE_HELDFILE_WINDOWS_H

#include <QString>

class HeldFile
{
public:
    HeldFile() = default;
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Lets go of any file held before; false when `path` cannot be held (it is open for
    // writing elsewhere, or missing). Its folder is held as well, so it cannot be renamed
    // and put back with another file in it.
    bool hold(const QString& path);
    void release();
    bool isHeld() const { return handle != nullptr; }
    // The open handle (a Windows HANDLE), for checks that read through it.
    void* nativeHandle() const { return handle; }

private:
    void* handle = nullptr;
    void* folder = nullptr;
};

#endif
