// render_icons THEME_DIR SIZE...
// Writes the program's globe as THEME_DIR/<size>x<size>/apps/veltrase.png for each size.

#include "app/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

// The globe is drawn pixel by pixel at 16 and 32. Larger sizes enlarge the closest
// drawing by a whole factor, so every pixel stays a crisp square.
QImage globeAt(int size)
{
    const int drawn = size % 32 == 0 ? 32 : size % 16 == 0 ? 16 : 0;
    if (drawn == 0)
        return {};
    const QImage image = globePicture().pixmap(QSize(drawn, drawn), 1.0).toImage();
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fputs("usage: render_icons THEME_DIR SIZE...\n", stderr);
        return 2;
    }
    const QDir themeDir(arguments.at(1));
    for (const QString& sizeText : arguments.mid(2)) {
        const QImage image = globeAt(sizeText.toInt());
        const QString folder = sizeText + QLatin1Char('x') + sizeText + QStringLiteral("/apps");
        const QString file = themeDir.filePath(folder + QStringLiteral("/veltrase.png"));
        if (image.isNull() || !themeDir.mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qUtf8Printable(file));
            return 1;
        }
    }
    return 0;
}
