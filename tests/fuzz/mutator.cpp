#include "mutator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

extern "C" std::size_t LLVMFuzzerMutate(uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

// A count between 1 and most, as likely to be near 10 as near 10,000.
std::size_t repeatCount(std::minstd_rand& random, std::size_t most)
{
    if (most <= 1)
        return most;
    std::uniform_real_distribution<double> exponent(0.0, std::log(double(most) + 1.0));
    return std::clamp<std::size_t>(std::size_t(std::exp(exponent(random))), 1, most);
}

// Writes `count` copies of data[start, start + length) right after that piece.
std::size_t repeatPiece(uint8_t* data, std::size_t size, std::size_t maxSize, std::size_t start,
                        std::size_t length, std::minstd_rand& random)
{
    if (length == 0 || size + length > maxSize)
        return 0;
    const std::size_t count = repeatCount(random, (maxSize - size) / length);
    const std::size_t end = start + length;
    std::memmove(data + end + count * length, data + end, size - end);
    for (std::size_t i = 1; i <= count; ++i)
        std::memcpy(data + start + i * length, data + start, length);
    return size + count * length;
}

// A start tag at or after `from`: "<name ...>", not an end tag, comment or declaration.
bool findStartTag(const uint8_t* data, std::size_t size, std::size_t from, std::size_t& start,
                  std::size_t& length)
{
    for (std::size_t i = from; i + 2 < size; ++i) {
        if (data[i] != '<' || data[i + 1] == '/' || data[i + 1] == '?' || data[i + 1] == '!')
            continue;
        const std::size_t limit = std::min(size, i + 64);
        for (std::size_t j = i + 1; j < limit; ++j) {
            if (data[j] == '>') {
                if (data[j - 1] == '/')
                    break; // an empty element nests nothing
                start = i;
                length = j + 1 - i;
                return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int randomState)
{
    std::minstd_rand random(randomState);
    if (size > 0) {
        switch (random() % 8) {
        case 0: { // nest: a start tag repeated right after itself
            std::size_t start = 0;
            std::size_t length = 0;
            if (findStartTag(data, size, random() % size, start, length) ||
                findStartTag(data, size, 0, start, length)) {
                if (const std::size_t grown = repeatPiece(data, size, maxSize, start, length, random))
                    return grown;
            }
            break;
        }
        case 1: { // lengthen: any short piece repeated
            const std::size_t start = random() % size;
            const std::size_t length = 1 + random() % std::min<std::size_t>(64, size - start);
            if (const std::size_t grown = repeatPiece(data, size, maxSize, start, length, random))
                return grown;
            break;
        }
        default:
            break;
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}
