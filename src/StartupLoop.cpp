#include "StartupLoop.h"

#include "ConfigurationManager.h"
#include "ConfigurationManagerAdaptor.h"
#include "Console.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/ServiceWatcher.h"
#include "libcorvane/Settings.h"
#include "libcorvane/Singleton.h"
#include "ls/Timer.h"
#include "proxy/SpeechFeedback.h"

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
    QString bounded = message.size() <= maxLogMessageLength ? message
                                                            : message.left(maxLogMessageLength)
            + QStringLiteral(" [%1 more characters cut]").arg(message.size() - maxLogMessageLength);
    // A line break or terminal control from a request's text must not forge or hide log lines.
    // Debug output is a developer's, and the catalog dumps colour and break their lines on purpose.
    if (type != QtDebugMsg) {
        for (QChar& c : bounded) {
            if (c.category() == QChar::Other_Control) {
                c = QChar(0xFFFD);
            }
        }
    }
    defaultHandler(type, context, bounded);
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
    auto* adaptor = new ConfigurationManagerAdaptor(manager);
    new Console(manager);
    // Made on the first pass, kept by the later ones.
    libcorvane::Singleton<detail::SpeechFeedback>::instance();

    QTimer::singleShot(0, manager, [manager]() {
        manager->init();
        ServiceWatcher::setReady(serviceWatcherName, true);
    });
    ls::Timer::finish(QStringLiteral("Main"));

    const int status = QCoreApplication::exec();
    // Critical, so that every restart shows in the log whatever the logging rules.
    qCCritical(lcStartupLoop).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "INFO:")
                                        << "QCoreApplication exited with status:" << status;
    // Calls the bus already handed to this pass are answered before its objects go, so that no
    // client waits out its time-out for a reply that would never come.
    adaptor->retire();
    parser.reset();
    application.reset();
    return status;
}
