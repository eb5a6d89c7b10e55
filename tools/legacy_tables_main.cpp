// legacy-tables: writes the embosser's legacy braille tables (".ebc") and their metadata.
//   legacy-tables [--description FILE] ROOT
// reads the source description (default: legacy-tables.json beside this program's sources, as
// compiled in) and writes ROOT/usr/share/embosser/tables/<language>/<file>.ebc and
// ROOT/usr/share/embosser/tables/<language>/<language>.json.

#include "LegacyTableSet.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("legacy-tables"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the embosser's legacy braille tables below ROOT/usr/share/embosser/tables."));
    parser.addHelpOption();
    const QCommandLineOption descriptionOption(QStringLiteral("description"),
        QStringLiteral("Source description of the tables."), QStringLiteral("FILE"),
        QStringLiteral(CM_LEGACY_TABLES_DESCRIPTION));
    parser.addOption(descriptionOption);
    parser.addPositionalArgument(QStringLiteral("ROOT"), QStringLiteral("Root of the embosser's file tree."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        parser.showHelp(2);
    }
    QString error;
    LegacyTableSet set;
    if (!set.load(parser.value(descriptionOption), &error) || !set.write(positional.first(), &error)) {
        QTextStream(stderr) << "legacy-tables: " << error << '\n';
        return 1;
    }
    return 0;
}
