// File names from the command line, byte for byte. Qt reads and writes
// file names as UTF-8 only, so a name from an old Latin-1 disk or USB
// stick would turn into another name. DecodePath keeps every byte that is
// not part of valid UTF-8 as one character U+DC80 + byte (a lone surrogate,
// which valid UTF-8 never gives), and EncodePath turns it back into that
// byte. Any thread.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace wellenschau {

QString DecodePath(const QByteArray& bytes);
std::string EncodePath(const QString& path);

// True when the name holds a byte that is not UTF-8, so that only its own
// bytes (EncodePath), not Qt's file classes, reach the file.
bool HasForeignBytes(const QString& path);

}  // namespace wellenschau
