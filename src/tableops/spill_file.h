#pragma once

// The temporary file a table's rows go to beyond the memory limit, and the size prefixes that
// frame them there and in memory.

#include "platform/operation_error.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <memory>
#include <string>

class QTemporaryFile;

namespace tableops {

// Records written one after another to a temporary file and read back in the same order. The
// file lives in the given folder (nameless there where the system allows it, so not even a killed
// program leaves it behind) and is removed when the object goes, whatever ended its use.
// Failures of the file throw RowBufferError.
class SpillFile {
public:
    explicit SpillFile(QString folder);
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    void append(QByteArrayView record);
    // Writes out the records still waiting in memory.
    void flush() { flushWrites(); }
    // Starts reading at the first record (writing is over from then on).
    void rewind();
    // The next record; valid until the next call.
    QByteArrayView next();

private:
    void open();
    void flushWrites();
    [[noreturn]] void failed(const QString& what) const;
    // Makes `count` bytes available at readBuffer_[readPos_]; false at the end of the file.
    bool fill(std::size_t count);

    QString folder_;
    std::unique_ptr<QTemporaryFile> file_;
    std::string writeBuffer_;
    std::string readBuffer_;
    std::size_t readPos_ = 0;
};

// The temporary file of a table's rows failed (no space, no folder, a read error): the table's
// remaining rows cannot be had, and the next table may well fare better.
class RowBufferError : public platform::OperationError {
public:
    using OperationError::OperationError;
    platform::FailureReach reach() const override { return platform::FailureReach::Table; }
};

// Sizes before the data they measure, seven bits a byte, the top bit saying another byte follows:
// most values of a row are short, and their sizes then take one byte.
inline void AppendSizePrefix(std::string& out, std::size_t size)
{
    while (size >= 0x80) {
        out.push_back(char((size & 0x7F) | 0x80));
        size >>= 7;
    }
    out.push_back(char(size));
}

// Reads a size written by AppendSizePrefix, one byte at a time from nextByte(), which gives an
// unsigned char. False when the bytes run past what any size can take (the data is damaged).
template <typename NextByte>
bool TakeSizePrefix(NextByte nextByte, std::size_t& size)
{
    size = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        const unsigned char byte = nextByte();
        size |= std::size_t(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

} // namespace tableops
