#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel w(QStringLiteral("Back-Up"));
    w.show();
    return app.exec();
}
