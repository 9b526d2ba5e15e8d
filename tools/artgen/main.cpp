// qarrum-artgen: draws every picture of the game into a data folder.
//
//   qarrum-artgen OUTDIR [--manifest FILE]
//
// The manifest lists each written picture as "path width height", one a line; the build uses it
// as its stamp and the size check reads it.

#include "Art.h"
#include "Catalog.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

bool SavePicture(const QImage& image, const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    QImageWriter writer(file);
    if (suffix == QLatin1String("png")) {
        writer.setFormat("png");
        return writer.write(image.convertToFormat(QImage::Format_ARGB32));
    }
    if (suffix == QLatin1String("bmp")) {
        // 24-bit bitmaps: the readers key out a colour, they never read alpha from these.
        writer.setFormat("bmp");
        return writer.write(image.convertToFormat(QImage::Format_RGB888));
    }
    if (suffix == QLatin1String("jpg")) {
        writer.setFormat("jpeg");
        writer.setQuality(92);
        return writer.write(image.convertToFormat(QImage::Format_RGB32));
    }
    std::fprintf(stderr, "qarrum-artgen: no writer for %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args.at(2) == QLatin1String("--manifest"))) {
        std::fprintf(stderr, "usage: qarrum-artgen OUTDIR [--manifest FILE]\n");
        return 2;
    }
    const QDir out(args.at(1));

    // Every text is drawn in one installed font; another font would change every label.
    if (!QFontDatabase::families().contains(QString::fromLatin1(art::kFontFamily))) {
        std::fprintf(stderr, "qarrum-artgen: the font \"%s\" is not installed (package fonts-wqy-microhei)\n",
                     art::kFontFamily);
        return 1;
    }

    std::string manifest;
    std::set<QString> seen;
    int failures = 0;
    for (const art::Picture& picture : art::BuildCatalog()) {
        const QString path = QString::fromStdString(picture.path);
        // The game finds files case-insensitively, so two names differing only in case would
        // be one file.
        if (!seen.insert(path.toLower()).second) {
            std::fprintf(stderr, "qarrum-artgen: %s is listed twice\n", picture.path.c_str());
            ++failures;
            continue;
        }
        const QImage image = picture.paint();
        if (image.width() != picture.width || image.height() != picture.height) {
            std::fprintf(stderr, "qarrum-artgen: %s drew %dx%d, the catalog says %dx%d\n", picture.path.c_str(), image.width(),
                         image.height(), picture.width, picture.height);
            ++failures;
            continue;
        }
        const QString file = out.filePath(path);
        if (!QDir().mkpath(QFileInfo(file).path()) || !SavePicture(image, file)) {
            std::fprintf(stderr, "qarrum-artgen: cannot write %s\n", qPrintable(file));
            ++failures;
            continue;
        }
        manifest += picture.path + ' ' + std::to_string(picture.width) + ' ' + std::to_string(picture.height) + '\n';
    }
    if (failures != 0)
        return 1;

    if (args.size() == 4) {
        std::ofstream stamp(args.at(3).toStdString(), std::ios::trunc);
        stamp << manifest;
        if (!stamp) {
            std::fprintf(stderr, "qarrum-artgen: cannot write %s\n", qPrintable(args.at(3)));
            return 1;
        }
    }
    return 0;
}
