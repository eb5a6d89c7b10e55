#include "StartupLoop.h"

#include "ConfigurationManager.h"
#include "ConfigurationManagerAdaptor.h"
#include "Console.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/ServiceWatcher.h"
#include "libcorvane/Settings.h"
#include "ls/Timer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextCodec>
#include <QTimer>

#include <memory>

CM_LOGGING_CATEGORY(lcStartupLoop, "StartupLoop")

namespace {
const QString serviceWatcherName = QStringLiteral("configuration-manager");
QtMessageHandler defaultHandler = nullptr;
} // namespace

void StartupLoop::boundedMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.size() <= maxLogMessageLength) {
        defaultHandler(type, context, message);
        return;
    }
    defaultHandler(type, context,
        message.left(maxLogMessageLength)
            + QStringLiteral(" [%1 more characters cut]").arg(message.size() - maxLogMessageLength));
}

int StartupLoop::run(int argc, char** argv)
{
    defaultHandler = qInstallMessageHandler(&StartupLoop::boundedMessage);
    ServiceWatcher::setReady(serviceWatcherName, false);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    for (;;) {
        const int status = runPass(argc, argv);
        if (status == 1) {
            return 1;
        }
    }
}

int StartupLoop::runPass(int argc, char** argv)
{
    auto application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane Braille AB"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("corvanebraille.com"));
    QCoreApplication::setApplicationName(QStringLiteral("configuration-manager"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0.8"));

    // The standard options are offered, but the service acts on no argument.
    auto parser = std::make_unique<QCommandLineParser>();
    parser->addHelpOption();
    parser->addVersionOption();

    ls::Timer::start(QStringLiteral("Main"));
    libcorvane::Settings::init();

    auto* manager = new ConfigurationManager(application.get());
    new ConfigurationManagerAdaptor(manager);
    new Console(manager);
    // The speech-feedback singleton joins here once the peer services exist.

    QTimer::singleShot(0, manager, [manager]() {
        manager->init();
        ServiceWatcher::setReady(serviceWatcherName, true);
    });
    ls::Timer::finish(QStringLiteral("Main"));

    const int status = QCoreApplication::exec();
    // Critical, so that every restart shows in the log whatever the logging rules.
    qCCritical(lcStartupLoop).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "INFO:")
                                        << "QCoreApplication exited with status:" << status;
    parser.reset();
    application.reset();
    return status;
}
