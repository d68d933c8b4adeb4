// The bare window the program's start-up is compared with (scripts/bench): a Qt window of the
// same size as the program's, with one button.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget bare;
    bare.setFixedSize(266, 254);
    QPushButton button(QStringLiteral("&Next >>"), &bare);
    button.setGeometry(136, 224, 89, 25);
    bare.show();
    return QApplication::exec();
}
