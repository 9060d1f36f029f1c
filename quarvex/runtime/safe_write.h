// Replacing a file on disk so that a failed write never leaves it half
// written: the grid's own save and the sheets' data files both go through
// here.
#pragma once

#include <QByteArray>
#include <QString>

namespace qvrt {

// Raises the runtime error for a failed file call on path: the errno's
// number, except that a missing folder on the way is 76 Path not found
// rather than 53 File not found.
[[noreturn]] void RaiseFileErrno(int err, const QString& path);

// Writes the bytes to path through a temporary file beside it that is
// renamed over it, so a failed write leaves the old file as it was; the new
// file keeps the old one's permissions. A target that is not a plain file (a
// device, a pipe) is written in place, and so is a file in a folder that
// takes no new file, after room for it is claimed; links are followed to
// the file they end at and kept. A read-only file is refused. Temporary
// files that interrupted saves of the same file left beside it (named by
// their own pattern, ".<name>.quarvex-save-XXXXXX") are removed first.
// Raises 61 Disk full, 75 Path/File access error, 76 Path not found, 20477
// for an empty name, ... with the reason.
void WriteFileReplacing(const QString& path, const QByteArray& bytes);

}  // namespace qvrt
