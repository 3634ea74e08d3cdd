#include "app/Entry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

int RunLadoton(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ладотон"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ладотон"));

    // Until the trainer's windows exist: the borderless main window, centred.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Ладотон"));
    window.setFixedSize(657, 523);
    window.setStyleSheet(QStringLiteral("background: #0000ff"));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        window.move(avail.center() - QPoint(657 / 2, 523 / 2));
    }
    window.show();
    return QApplication::exec();
}
