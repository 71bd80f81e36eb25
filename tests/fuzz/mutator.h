#ifndef CORVANE_FUZZ_MUTATOR_H
#define CORVANE_FUZZ_MUTATOR_H

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Every target links the mutator of mutator.cpp: besides libFuzzer's own byte mutations it
// repeats a piece of the input, or a start tag right after itself, as often as the length
// libFuzzer allows at the time, so deep nesting and long documents are reached within a short
// run. Byte-level mutations alone grow an input a few bytes at a time and never get there.

// The input as the client has it: the reply body.
inline QByteArray fuzzBytes(const uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), int(size));
}

// Stops the run with a crash report when a reader breaks a promise it makes to its callers.
#define FUZZ_EXPECT(condition)                                                                               \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            __builtin_trap();                                                                                \
    } while (false)

#endif
