#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Wellenschau");
    window.resize(790, 560);
    window.show();
    return application.exec();
}
