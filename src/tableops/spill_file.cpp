#include "tableops/spill_file.h"

#include <QDir>
#include <QTemporaryFile>
#include <cstring>

namespace tableops {

namespace {

// Rows go to and come from the file in blocks of this size, not a system call each.
constexpr std::size_t kBlockSize = std::size_t(1) << 20;

} // namespace

SpillFile::SpillFile(QString folder) : folder_(std::move(folder)) {}

SpillFile::~SpillFile() = default;

void SpillFile::failed(const QString& what) const
{
    const QString reason = file_ ? file_->errorString() : QString();
    throw RowBufferError(QStringLiteral("Could not %1 the temporary file of the table's rows in %2: %3")
                             .arg(what, QDir::toNativeSeparators(folder_), reason));
}

void SpillFile::open()
{
    file_ = std::make_unique<QTemporaryFile>(QDir(folder_).filePath(QStringLiteral("mirravel-rows-XXXXXX")));
    if (!file_->open())
        failed(QStringLiteral("create"));
}

void SpillFile::append(QByteArrayView record)
{
    if (!file_)
        open();
    AppendSizePrefix(writeBuffer_, std::size_t(record.size()));
    writeBuffer_.append(record.data(), std::size_t(record.size()));
    if (writeBuffer_.size() >= kBlockSize)
        flushWrites();
}

void SpillFile::flushWrites()
{
    if (writeBuffer_.empty())
        return;
    // A write cut short by a full disk reports no error of its own; the next one says why
    // ("No space left on device"), so the rest is written until one fails.
    const char* data = writeBuffer_.data();
    qint64 left = qint64(writeBuffer_.size());
    while (left > 0) {
        const qint64 written = file_->write(data, left);
        if (written <= 0)
            failed(QStringLiteral("write"));
        data += written;
        left -= written;
    }
    if (!file_->flush())
        failed(QStringLiteral("write"));
    writeBuffer_.clear();
}

void SpillFile::rewind()
{
    if (!file_)
        return;
    flushWrites();
    if (!file_->seek(0))
        failed(QStringLiteral("read"));
    readBuffer_.clear();
    readPos_ = 0;
}

bool SpillFile::fill(std::size_t count)
{
    if (readBuffer_.size() - readPos_ >= count)
        return true;
    readBuffer_.erase(0, readPos_);
    readPos_ = 0;
    const std::size_t have = readBuffer_.size();
    const std::size_t want = std::max(kBlockSize, count - have);
    readBuffer_.resize(have + want);
    const qint64 got = file_->read(readBuffer_.data() + have, qint64(want));
    if (got < 0)
        failed(QStringLiteral("read"));
    readBuffer_.resize(have + std::size_t(got));
    return readBuffer_.size() >= count;
}

QByteArrayView SpillFile::next()
{
    if (!file_)
        failed(QStringLiteral("read"));
    std::size_t size = 0;
    const bool sized = TakeSizePrefix(
        [&] {
            if (!fill(1))
                failed(QStringLiteral("read"));
            return static_cast<unsigned char>(readBuffer_[readPos_++]);
        },
        size);
    if (!sized || !fill(size))
        failed(QStringLiteral("read"));
    const QByteArrayView record(readBuffer_.data() + readPos_, qsizetype(size));
    readPos_ += size;
    return record;
}

} // namespace tableops
