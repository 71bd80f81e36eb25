#include "app/lumtarmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    int exitCode = 0;
    {
        LumtarMain window;
        window.show();
        exitCode = application.exec();
    }
    return exitCode;
}
