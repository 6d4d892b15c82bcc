#pragma once

#include <QString>

// The one-line state files: read by their first field, written as one line ended by CR LF.
namespace StateFile {

// First field of a line: leading blanks skipped; a field opening with a double quote runs to
// the next double quote and loses the quotes; otherwise it runs to the first comma or the end.
QString firstField(const QString& line);

// First field of the first line of the file; empty when the file is missing or unreadable.
QString readFirstField(const QString& path, bool* found = nullptr);

// Writes `line` + CR LF in GBK, atomically: a failed write leaves the old file as it was.
bool writeLine(const QString& path, const QString& line);

// The whole file as text; empty when it cannot be read.
QString readText(const QString& path, bool* found = nullptr);

} // namespace StateFile
