#include "Cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cmctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CMCTL_VERSION));
    return Cli::run(QCoreApplication::arguments());
}
