#include "PaperCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/Keys.h"
#include "ls/UserPaperCmdId.h"

#include <QCommandLineParser>

namespace {
const QString unitOption = QStringLiteral("unit");
const QString orientationOption = QStringLiteral("orientation");

// The size unit of --unit: millimetres unless inches are asked for.
QString sizeUnit(const QString& word)
{
    if (word.isEmpty() || word == QLatin1String("mm") || word.compare(ls::milimetersKey, Qt::CaseInsensitive) == 0) {
        return ls::milimetersKey;
    }
    if (word == QLatin1String("in") || word.compare(ls::inchesKey, Qt::CaseInsensitive) == 0) {
        return ls::inchesKey;
    }
    return QString();
}
} // namespace

QStringList PaperCommand::options() const
{
    return { unitOption, orientationOption };
}

int PaperCommand::run(const QStringList& words)
{
    const QString action = words.value(0);
    if (action == QLatin1String("list") && words.size() == 1) {
        return list();
    }
    if (action == QLatin1String("add")) {
        return add(words.mid(1));
    }
    if ((action == QLatin1String("show") || action == QLatin1String("delete")) && words.size() == 2) {
        const int n = number(words.at(1), QStringLiteral("the paper number"));
        if (n < 0) {
            return ExitStatus::Usage;
        }
        return action == QLatin1String("show") ? show(n) : remove(n);
    }
    return usage(QStringLiteral("paper wants list, show N, add WIDTH HEIGHT or delete N"));
}

int PaperCommand::list()
{
    QVariantMap result;
    if (!m_client.process(ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::ReadAllPapers, {}, result)) {
        return failed();
    }
    QMap<int, QVariantMap> papers;
    for (const QVariant& value : qAsConst(result)) {
        const QVariantMap paper = value.toMap();
        if (paper.contains(ls::paperNrKey)) {
            papers.insert(paper.value(ls::paperNrKey).toInt(), paper);
        }
    }
    if (m_printer.json()) {
        QVariantList list;
        for (const QVariantMap& paper : qAsConst(papers)) {
            list << paper;
        }
        m_printer.document(
            QVariantMap { { ls::nrOfPapersKey, result.value(ls::nrOfPapersKey) }, { ls::paperListKey, list } });
        return ExitStatus::Success;
    }
    QList<QStringList> rows;
    for (const QVariantMap& paper : qAsConst(papers)) {
        rows << QStringList { paper.value(ls::paperNrKey).toString(), paper.value(ls::descriptionKey).toString(),
            QStringLiteral("%1 x %2").arg(
                ValueText::display(paper.value(ls::widthKey)), ValueText::display(paper.value(ls::heightKey))),
            paper.value(ls::sizeUnitKey).toString(), paper.value(ls::formatOrientationKey).toString() };
    }
    m_printer.table({ QStringLiteral("NR"), QStringLiteral("NAME"), QStringLiteral("SIZE"), QStringLiteral("UNIT"),
                        QStringLiteral("ORIENTATION") },
        rows);
    return ExitStatus::Success;
}

int PaperCommand::show(int n)
{
    QVariantMap result;
    if (!m_client.process(
            ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::ReadPaper, { { ls::paperNrKey, n } }, result)) {
        return failed();
    }
    const QVariantMap paper = result.value(ls::userPaperDataKey).toMap();
    if (m_printer.json()) {
        m_printer.document(paper);
        return ExitStatus::Success;
    }
    QList<QPair<QString, QString>> fields;
    for (auto it = paper.constBegin(); it != paper.constEnd(); ++it) {
        fields << qMakePair(it.key(), ValueText::display(it.value()));
    }
    m_printer.fields(fields);
    return ExitStatus::Success;
}

int PaperCommand::add(const QStringList& words)
{
    if (words.size() != 2) {
        return usage(QStringLiteral("paper add wants WIDTH HEIGHT"));
    }
    const QVariant width = ValueText::toSignature(words.at(0), QStringLiteral("d"));
    const QVariant height = ValueText::toSignature(words.at(1), QStringLiteral("d"));
    const QString unit = sizeUnit(m_options.value(unitOption));
    const QVariant orientation = ValueText::toSignature(
        m_options.isSet(orientationOption) ? m_options.value(orientationOption) : QStringLiteral("0"),
        QStringLiteral("i"));
    if (!width.isValid() || !height.isValid() || unit.isEmpty() || !orientation.isValid()) {
        return usage(QStringLiteral("paper add wants two numbers, --unit mm or in, --orientation a number"));
    }
    const QVariantMap paper { { ls::sizeUnitKey, unit }, { ls::widthKey, width }, { ls::heightKey, height },
        { ls::formatOrientationKey, orientation } };
    QVariantMap result;
    if (!m_client.process(ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::WritePaper,
            { { ls::userPaperDataKey, paper } }, result)) {
        return failed();
    }
    const int n = result.value(ls::paperNrKey).toInt();
    if (m_printer.json()) {
        m_printer.document(QVariantMap { { ls::paperNrKey, n } });
    } else {
        m_printer.line(QStringLiteral("User paper %1 added.").arg(n));
    }
    return ExitStatus::Success;
}

int PaperCommand::remove(int n)
{
    QVariantMap result;
    if (!m_client.process(
            ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::DeletePaper, { { ls::paperNrKey, n } }, result)) {
        const int status = failed();
        if (result.contains(ls::layoutNrKey)) {
            m_printer.error(QStringLiteral("user paper %1 is in use by layout %2")
                                .arg(n)
                                .arg(result.value(ls::layoutNrKey).toInt()));
        }
        return status;
    }
    if (m_printer.json()) {
        m_printer.document(QVariantMap { { ls::paperNrKey, n } });
    } else {
        m_printer.line(QStringLiteral("User paper %1 deleted.").arg(n));
    }
    return ExitStatus::Success;
}
