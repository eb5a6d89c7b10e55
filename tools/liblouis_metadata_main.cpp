// liblouis-metadata: writes the embosser's per-language metadata of the installed liblouis tables.
//   liblouis-metadata [--tables DIR] ROOT
// reads every table file of DIR (default /usr/share/liblouis/tables) and writes
// ROOT/usr/share/embosser/liblouis/<language>/<language>.json and
// ROOT/usr/share/embosser/liblouis/UserDefined/UserDefined.json.

#include "LiblouisHeader.h"
#include "LiblouisMetadata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("liblouis-metadata"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the embosser's liblouis table metadata below ROOT/usr/share/embosser/liblouis."));
    parser.addHelpOption();
    const QCommandLineOption tablesOption(QStringLiteral("tables"), QStringLiteral("Directory of the liblouis tables."),
        QStringLiteral("DIR"), QStringLiteral("/usr/share/liblouis/tables"));
    parser.addOption(tablesOption);
    parser.addPositionalArgument(QStringLiteral("ROOT"), QStringLiteral("Root of the embosser's file tree."));
    parser.process(app);

    QTextStream err(stderr);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        parser.showHelp(2);
    }

    const QDir tables(parser.value(tablesOption));
    if (!tables.exists()) {
        err << "liblouis-metadata: no table directory " << tables.path() << '\n';
        return 1;
    }
    LiblouisMetadata metadata;
    for (const QString& name : tables.entryList(QDir::Files, QDir::Name)) {
        bool ok = false;
        const LiblouisHeader header = LiblouisHeader::read(tables.filePath(name), &ok);
        if (!ok) {
            err << "liblouis-metadata: cannot read " << tables.filePath(name) << '\n';
            return 1;
        }
        metadata.addTable(name, header);
    }
    if (metadata.tableCount() == 0) {
        err << "liblouis-metadata: no table with metadata in " << tables.path() << '\n';
        return 1;
    }

    QString error;
    const QString root = QDir(positional.first()).filePath(QStringLiteral("usr/share/embosser/liblouis"));
    if (!metadata.write(root, &error)) {
        err << "liblouis-metadata: " << error << '\n';
        return 1;
    }
    return 0;
}
