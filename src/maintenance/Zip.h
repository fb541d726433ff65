#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Writing a zip: the one place that drives the zip library's writing calls and cleans up after
// any of them fails.
namespace zodra::maintenance {

// One file of a zip being written: its name inside the zip and its contents, taken from
// `data`, or from the file at `file` when that is not empty.
struct ZipMember {
    QString name;
    QByteArray data;
    QString file;
};

// Writes `members` into a new zip at `path` (a file of that name is replaced: callers write
// under a temporary name and put it in place themselves). On any failure the partial file is
// removed and UserError(failure + the library's reason) is thrown.
void WriteZip(const QString& path, const std::vector<ZipMember>& members, const QString& failure);

}  // namespace zodra::maintenance
