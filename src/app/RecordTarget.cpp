#include "RecordTarget.h"

#include "ExportFiles.h"
#include "PathBytes.h"
#include "audio/CaptureRecording.h"
#include "core/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

#include <optional>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TRecordTargetText {
    Q_DECLARE_TR_FUNCTIONS(TRecordTargetText)
};

// What a path leads to (links followed), if anything.
std::optional<struct stat> Status(const QString& path) {
    struct stat status {};
    if (path.isEmpty() || ::stat(EncodePath(path).c_str(), &status) != 0) return std::nullopt;
    return status;
}

// Device and inode: one file, whatever the names or links leading to it.
bool SameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

// The name of the export's file that writing `record` would write, or
// empty. A file not made yet is the same when the folders are and the
// names (after a link) match.
QString ExportFileAt(const QString& record, const TOptions& options) {
    if (options.ExportDir.isEmpty()) return {};
    const QFileInfo link(record);
    const QFileInfo target(link.isSymLink() ? link.symLinkTarget() : record);
    const bool sameFolder = SameFile(Status(target.absolutePath()), Status(options.ExportDir));
    const std::optional<struct stat> recordFile = Status(record);
    for (const QString& name : TExportFiles::FileNames(options.Distortion, options.SoundLevel, options.Channels == 2)) {
        if (SameFile(recordFile, Status(QDir(options.ExportDir).filePath(name)))) return name;
        if (sameFolder && target.fileName() == name) return name;
    }
    return {};
}

}  // namespace

bool NameTaken(const QString& path) {
    struct stat status {};
    return ::lstat(EncodePath(path).c_str(), &status) == 0;
}

QString RecordRefusal(const TOptions& options) {
    const QString& record = options.RecordFile;
    if (record.isEmpty()) return {};
    if (SameFile(Status(record), Status(options.InputFile)))
        return TRecordTargetText::tr(
                   "Die Aufnahmedatei „%1“ ist die Eingabedatei „%2“; die Aufnahme würde sie zerstören.")
            .arg(record, options.InputFile);
    if (const QString name = ExportFileAt(record, options); !name.isEmpty())
        return TRecordTargetText::tr(
                   "Die Aufnahmedatei „%1“ ist die Datei „%2“ des Exports; bitte einen anderen Namen wählen.")
            .arg(record, name);
    if (const std::string pipe = TWavRecorder::Unseekable(EncodePath(record)); !pipe.empty())
        return QString::fromStdString(pipe);
    if (!options.Overwrite && NameTaken(record))
        return TRecordTargetText::tr("Die Aufnahmedatei „%1“ gibt es schon; --overwrite ersetzt sie.").arg(record);
    return {};
}

std::unique_ptr<TCaptureRecording> OpenRecording(const TOptions& options) {
    if (options.RecordFile.isEmpty()) return nullptr;
    if (const QString refusal = RecordRefusal(options); !refusal.isEmpty())
        throw EWellenschauError(refusal.toStdString());
    const auto existing = options.Overwrite ? TWavRecorder::TExisting::Replace : TWavRecorder::TExisting::Refuse;
    return std::make_unique<TCaptureRecording>(EncodePath(options.RecordFile), existing,
                                               TCaptureRecording::DefaultRingBytes, options.Channels);
}

}  // namespace wellenschau
