#pragma once

#include <QByteArrayView>
#include <QString>

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

} // namespace tableops
