#include "SavedFile.h"

#include "CsvExport.h"
#include "DataFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>

namespace {

std::string PngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

} // namespace

std::string SavedFileContent(const QString& name, const SaveSources& from) {
    const QString kind = QFileInfo(name).suffix().toLower();
    if (kind == QLatin1String("csv"))
        return FormatCsv(from.samples, from.shownTimebase);
    if (kind == QLatin1String("png"))
        return PngBytes(from.picture());
    return FormatDataFile(from.samples, from.knobTimebase);
}
