#include "maintenance/Zip.h"

#include <zip.h>
#include <QFile>

#include "data/Errors.h"

namespace zodra::maintenance {

void WriteZip(const QString& path, const std::vector<ZipMember>& members, const QString& failure) {
    const QByteArray native = QFile::encodeName(path);
    QFile::remove(path);
    int code = 0;
    zip_t* archive = zip_open(native.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw UserError(failure + text);
    }
    const auto fail = [&] {
        const QString error = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(path);
        throw UserError(failure + error);
    };
    for (const ZipMember& m : members) {
        zip_source_t* source =
            m.file.isEmpty()
                ? zip_source_buffer(archive, m.data.constData(),
                                    static_cast<zip_uint64_t>(m.data.size()), 0)
                : zip_source_file(archive, QFile::encodeName(m.file).constData(), 0, 0);
        if (source == nullptr) {
            fail();
        }
        if (zip_file_add(archive, m.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            fail();
        }
    }
    if (zip_close(archive) != 0) {
        fail();
    }
}

}  // namespace zodra::maintenance
