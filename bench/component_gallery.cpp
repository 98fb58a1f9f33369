// Shows every component in one window, or writes pictures of it:
//   component_gallery                 a visible window, animating, until closed
//   component_gallery --render DIR    PNGs at pixel ratio 1 and 2, glass and flat
#include <QApplication>
#include <QDir>
#include <QImage>

#include "ComponentGallery.h"
#include "Components/AccessibilityPreferences.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    AccessibilityPreferences motion;
    const qsizetype render = arguments.indexOf(QStringLiteral("--render"));
    if (render < 0 || render + 1 >= arguments.size()) {
        const std::unique_ptr<QWidget> window = makeComponentGallery(motion);
        window->show();
        return QApplication::exec();
    }
    const QDir folder(arguments[render + 1]);
    QDir().mkpath(folder.path());
    for (const bool flat : {false, true}) {
        motion.setReduceTransparency(flat);
        for (const qreal ratio : {1.0, 2.0}) {
            const std::unique_ptr<QWidget> window = makeComponentGallery(motion);
            window->show();
            QCoreApplication::processEvents();
            QImage image(window->size() * ratio, QImage::Format_ARGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::magenta);  // anything left unpainted shows
            window->render(&image);
            const QString name = QStringLiteral("components-%1-x%2.png")
                                     .arg(flat ? QStringLiteral("flat") : QStringLiteral("glass"))
                                     .arg(ratio);
            image.save(folder.filePath(name));
        }
    }
    return 0;
}
