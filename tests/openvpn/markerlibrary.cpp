// A stand-in for a hostile "certificate": a shared library that leaves a mark when it is loaded,
// so a test sees whether OpenVPN ever loaded the file the configuration named.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

__attribute__((constructor)) static void leaveMark()
{
    const char* path = getenv("CORVANE_MARKER");
    if (!path)
        return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    static const char mark[] = "loaded\n";
    (void)!write(fd, mark, sizeof(mark) - 1);
    close(fd);
}
