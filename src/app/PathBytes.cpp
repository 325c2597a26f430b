#include "PathBytes.h"

#include <QStringDecoder>

namespace wellenschau {

namespace {

constexpr char16_t FirstKept = 0xDC80;
constexpr char16_t LastKept = 0xDCFF;

// A kept byte is a lone low surrogate; one after a high surrogate is the
// second half of a character beyond U+FFFF.
bool IsKeptByte(const QString& path, qsizetype at) {
    const char16_t unit = path[at].unicode();
    return unit >= FirstKept && unit <= LastKept && (at == 0 || !path[at - 1].isHighSurrogate());
}

// Bytes of the UTF-8 sequence a lead byte starts; 0 for a byte that starts none.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// The characters of the valid UTF-8 sequence at `at`, or an empty text.
QString ValidSequence(const QByteArray& bytes, qsizetype at) {
    const int length = SequenceLength(static_cast<unsigned char>(bytes[at]));
    if (length == 0 || at + length > bytes.size()) return {};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes.mid(at, length));
    return decoder.hasError() ? QString() : decoded;
}

}  // namespace

QString DecodePath(const QByteArray& bytes) {
    QString path;
    for (qsizetype at = 0; at < bytes.size();) {
        const QString sequence = ValidSequence(bytes, at);
        if (sequence.isEmpty()) {
            path += QChar(static_cast<char16_t>(FirstKept + static_cast<unsigned char>(bytes[at]) - 0x80));
            ++at;
        } else {
            path += sequence;
            at += SequenceLength(static_cast<unsigned char>(bytes[at]));
        }
    }
    return path;
}

std::string EncodePath(const QString& path) {
    std::string bytes;
    qsizetype runStart = 0;
    auto flushRun = [&](qsizetype end) { bytes += path.mid(runStart, end - runStart).toStdString(); };
    for (qsizetype at = 0; at < path.size(); ++at) {
        if (!IsKeptByte(path, at)) continue;
        flushRun(at);
        bytes += static_cast<char>(path[at].unicode() - FirstKept + 0x80);
        runStart = at + 1;
    }
    flushRun(path.size());
    return bytes;
}

bool HasForeignBytes(const QString& path) {
    for (qsizetype at = 0; at < path.size(); ++at)
        if (IsKeptByte(path, at)) return true;
    return false;
}

}  // namespace wellenschau
