// The yardstick for the trainer's figures: a bare Qt window of the main
// window's size, nothing but Qt Widgets linked, painted in one colour.
//
//   bench_bare_window            shows the window until it is closed
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class TBareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0xD4, 0xD0, 0xC8)); }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TBareWindow window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("bare"));
    window.setFixedSize(657, 523);
    window.show();
    return app.exec();
}
