// CALVERO1: curve fitting for heating, ventilation and refrigeration engineers.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("PROGRAMMA CALVERO1");
    window.showMaximized();
    return app.exec();
}
