// adaptorgen TABLE HEADER_TEMPLATE OUT_HEADER OUT_SOURCE OUT_XML
// Generates the D-Bus adaptor's slots and its introspection XML from the member table.
#include "AdaptorTable.h"
#include "AdaptorWriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    QTextStream err(stderr);
    if (arguments.size() != 6) {
        err << "usage: adaptorgen TABLE HEADER_TEMPLATE OUT_HEADER OUT_SOURCE OUT_XML\n";
        return 2;
    }
    AdaptorTable table;
    if (!table.read(arguments.at(1))) {
        err << "adaptorgen: " << table.error() << '\n';
        return 1;
    }
    AdaptorWriter writer(table.interfaceName(), table.signalList(), table.methods());
    if (!writer.writeHeader(arguments.at(2), arguments.at(3))
        || !writer.writeSource(QFileInfo(arguments.at(3)).fileName(), table.includes(), arguments.at(4))
        || !writer.writeIntrospection(arguments.at(5))) {
        err << "adaptorgen: " << writer.error() << '\n';
        return 1;
    }
    return 0;
}
