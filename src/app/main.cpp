#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel w(QStringLiteral("Brelvo"));
    w.show();
    return app.exec();
}
